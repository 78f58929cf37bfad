#include "rename/no_replace_rename.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <memory>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "fakes.hpp"
#include "rename/held_lines.hpp"
#include "rename/renamer.hpp"
#include "test_util.hpp"

namespace stampwise {
namespace {

using test::FakeDisk;
using Kind = RenameResult::Kind;
using Files = std::map<std::string, std::string>;

// A folder Cam1 in memory, renamed in through a Renamer over its listing.
class InMemory : public ::testing::Test {
 protected:
  static std::string P(const std::string& name) { return "Cam1/" + name; }
  void SetUp() override {
    disk_.MakeFolder("Cam1");
    for (const char* name : {"a (2).jpg", "b (2).jpg", "c (2).jpg", "taken.jpg"})
      disk_.Put(P(name), name);
  }
  RenameResult Rename(const char* from, const char* to) {
    if (renamer_ == nullptr) {
      EXPECT_EQ(listing_.Read(disk_, "Cam1"), 0);
      renamer_ = std::make_unique<Renamer>(disk_, listing_, platform::FileSystemKind::kJournaled);
    }
    return renamer_->Rename(P(from), P(to));
  }
  Files Now() const { return disk_.Files("Cam1"); }

  FakeDisk disk_;
  FolderListing listing_;
  std::unique_ptr<Renamer> renamer_;
};

// Every way of renaming gives the same guarantees, whichever one the file
// system lets the program take: the parameter is how many ways it refuses
// (renameat2's flag, then links).
class RenameWays : public InMemory, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    InMemory::SetUp();
    if (GetParam() >= 1) disk_.fail["rename"] = EINVAL;
    if (GetParam() >= 2) disk_.fail["link"] = EPERM;
  }
};

TEST_P(RenameWays, RenamesOntoAFreeNameOnlyInAnyLetterCase) {
  disk_.Put(P("2015-05-03 10-20-31.JPG"), "twin");
  EXPECT_TRUE(Rename("a (2).jpg", "taken.jpg").Taken());
  EXPECT_TRUE(Rename("a (2).jpg", "2015-05-03 10-20-31.jpg").Taken());
  // A name the program itself gave is taken for the next picture as well,
  // and a name it gave up is free again.
  EXPECT_TRUE(Rename("a (2).jpg", "2015-05-03 10-20-32.jpg").Done());
  EXPECT_TRUE(Rename("b (2).jpg", "2015-05-03 10-20-32.JPG").Taken());
  EXPECT_TRUE(Rename("2015-05-03 10-20-32.jpg", "2015-05-03 10-20-33.jpg").Done());
  EXPECT_TRUE(Rename("b (2).jpg", "2015-05-03 10-20-32.JPG").Done());
  EXPECT_EQ(Now(), (Files{{"2015-05-03 10-20-31.JPG", "twin"},
                          {"2015-05-03 10-20-32.JPG", "b (2).jpg"},
                          {"2015-05-03 10-20-33.jpg", "a (2).jpg"},
                          {"c (2).jpg", "c (2).jpg"},
                          {"taken.jpg", "taken.jpg"}}));
  // The way refused once is not asked again.
  EXPECT_EQ(disk_.Count("rename"), GetParam() >= 1 ? 1 : 3);
  EXPECT_EQ(disk_.Count("reserve"), GetParam() >= 2 ? 3 : 0);
}

TEST_P(RenameWays, OtherFailuresCarryTheSystemsReasonAndLeaveNothing) {
  RenameResult result = Rename("missing (2).jpg", "new.jpg");
  EXPECT_EQ(result.kind, Kind::kFailed);
  EXPECT_EQ(Describe(result), "No such file or directory");
  EXPECT_EQ(Now().size(), 4u);  // a reservation neither
}

INSTANTIATE_TEST_SUITE_P(EachWay, RenameWays, ::testing::Values(0, 1, 2));

TEST_F(InMemory, OnePictureThatCannotBeLinkedDoesNotTurnLinksOff) {
  disk_.fail["rename"] = EOPNOTSUPP;
  disk_.fail["link"] = EPERM;  // a protected picture of another user
  disk_.times["link"] = 1;
  EXPECT_TRUE(Rename("a (2).jpg", "1.jpg").Done());
  EXPECT_TRUE(Rename("b (2).jpg", "2.jpg").Done());
  EXPECT_EQ(disk_.Count("reserve"), 1);
  EXPECT_EQ(disk_.Count("link"), 2);
  // A file system without links at all turns them off for the run.
  disk_.fail["link"] = EOPNOTSUPP;
  disk_.times.clear();
  EXPECT_TRUE(Rename("c (2).jpg", "3.jpg").Done());
  EXPECT_TRUE(Rename("3.jpg", "4.jpg").Done());
  EXPECT_EQ(disk_.Count("link"), 3);
  EXPECT_EQ(disk_.Count("reserve"), 3);
}

TEST_F(InMemory, AHalfDoneLinkKeepsThePictureUnderOneNameOrSaysSo) {
  disk_.fail["rename"] = EINVAL;
  disk_.fail["remove a (2).jpg"] = EPERM;  // a sticky folder: the old name cannot go
  RenameResult result = Rename("a (2).jpg", "1.jpg");
  EXPECT_EQ(result.kind, Kind::kFailed);
  EXPECT_EQ(Describe(result), "Operation not permitted");
  EXPECT_EQ(Now().count("1.jpg"), 0u);

  disk_.fail["remove 1.jpg"] = EPERM;  // and the new name cannot go either
  result = Rename("a (2).jpg", "1.jpg");
  EXPECT_EQ(result.kind, Kind::kBothNames);
  EXPECT_EQ(Describe(result),
            "Operation not permitted; the picture now has both names, the old and the new");
  EXPECT_EQ(Now().at("1.jpg"), "a (2).jpg");
  EXPECT_EQ(Now().at("a (2).jpg"), "a (2).jpg");
}

// Another program moves the picture on between this run's link and its
// unlink: the picture keeps that program's name only, and this run takes
// its own name away again and says why; where that fails, it says both.
TEST_F(InMemory, APictureMovedOnByAnotherProgramKeepsOneName) {
  disk_.fail["rename"] = EINVAL;
  std::string moving = "a (2).jpg", to = "2.jpg";
  disk_.before = [&](const std::string& entry) {
    if (entry == "remove " + moving) (void)disk_.MemoryDisk::Replace(P(moving), P(to));
  };
  RenameResult result = Rename("a (2).jpg", "1.jpg");
  EXPECT_EQ(Describe(result), "another program moved it meanwhile");
  EXPECT_EQ(Now().count("1.jpg"), 0u);
  EXPECT_EQ(Now().at("2.jpg"), "a (2).jpg");

  moving = "b (2).jpg", to = "3.jpg";
  disk_.fail["remove 4.jpg"] = EPERM;
  EXPECT_EQ(Rename("b (2).jpg", "4.jpg").kind, Kind::kBothNames);
}

TEST_F(InMemory, AReservationIsOnlyEverTheProgramsOwn) {
  disk_.fail["rename"] = EINVAL;
  disk_.fail["link"] = EPERM;
  // A failed rename over it removes only the reservation; one that cannot
  // be removed is said, with its name.
  disk_.fail["replace"] = EACCES;
  RenameResult result = Rename("a (2).jpg", "1.jpg");
  EXPECT_EQ(Describe(result), "Permission denied");
  EXPECT_EQ(Now().size(), 4u);
  disk_.fail["remove"] = EIO;
  result = Rename("a (2).jpg", "1.jpg");
  EXPECT_EQ(result.left, RenameResult::Left::kNewName);
  EXPECT_EQ(result.left_error, EIO);
  disk_.fail.erase("replace");
  disk_.fail.erase("remove");
  (void)disk_.MemoryDisk::Remove(P("1.jpg"));
  // Another program that writes into it (a copy, a sync tool) takes it.
  disk_.written_over = "COPIED";
  EXPECT_TRUE(Rename("a (2).jpg", "1.jpg").Taken());
  disk_.written_over.clear();
  EXPECT_TRUE(Rename("a (2).jpg", "2.jpg").Done());
  EXPECT_EQ(Now().at("1.jpg"), "COPIED");
  EXPECT_EQ(Now().at("2.jpg"), "a (2).jpg");
}

// A named pipe among the pictures is renamed, and the write through goes on
// past it at once: opening it to write would wait for a writer for ever.
TEST(RealDisk, ANamedPipeIsRenamedWithoutWaiting) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no named pipes among a folder's files";
#else
  test::TempDir dir;
  ASSERT_EQ(mkfifo((dir / "p (2).jpg").c_str(), 0644), 0);
  platform::RealDisk disk;
  FolderListing listing;
  ASSERT_EQ(listing.Read(disk, dir.path()), 0);
  Renamer renamer(disk, listing, platform::FileSystemKind::kUnknown);
  EXPECT_EQ(renamer.Rename(dir / "p (2).jpg", dir / "1.jpg").kind, Kind::kDone);
#endif
}

}  // namespace
}  // namespace stampwise
