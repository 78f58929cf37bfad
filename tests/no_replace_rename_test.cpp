#include "rename/no_replace_rename.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "fakes.hpp"
#include "rename/process_list.hpp"
#include "test_util.hpp"

namespace stampwise {
namespace {

using test::FakeDisk;
using test::Snapshot;
using test::TempDir;
using test::WriteFile;
using Kind = RenameResult::Kind;
using Files = std::map<std::string, std::string>;

// Every way of renaming must give the same guarantees, whichever one the
// file system lets the program use.
class RenameWays : public ::testing::TestWithParam<Renamer::Method> {
 protected:
  platform::RealDisk disk_;
  Renamer renamer_{disk_, nullptr, GetParam()};
};

TEST_P(RenameWays, RenamesOntoAFreeNameOnly) {
  TempDir dir;
  WriteFile(dir / "a (2).JPG", "picture a");
  WriteFile(dir / "taken.jpg", "picture t");

  EXPECT_EQ(renamer_.Rename(dir.path(), dir / "a (2).JPG", dir / "taken.jpg").kind, Kind::kTaken);
  EXPECT_EQ(Snapshot(dir.path()), (Files{{"a (2).JPG", "picture a"}, {"taken.jpg", "picture t"}}));

  EXPECT_EQ(renamer_.Rename(dir.path(), dir / "a (2).JPG", dir / "free.jpg").kind, Kind::kDone);
  EXPECT_EQ(Snapshot(dir.path()), (Files{{"free.jpg", "picture a"}, {"taken.jpg", "picture t"}}));
}

TEST_P(RenameWays, ANameInAnotherLetterCaseIsTaken) {
  TempDir dir;
  WriteFile(dir / "x (2).jpg", "x");
  WriteFile(dir / "y (2).jpg", "y");
  WriteFile(dir / "2015-05-03 10-20-31.JPG", "twin");
  EXPECT_TRUE(
      renamer_.Rename(dir.path(), dir / "x (2).jpg", dir / "2015-05-03 10-20-31.jpg").Taken());
  // A name the program itself gave is taken for the next picture as well,
  // and a name it gave up is free again.
  EXPECT_TRUE(
      renamer_.Rename(dir.path(), dir / "x (2).jpg", dir / "2015-05-03 10-20-32.jpg").Done());
  EXPECT_TRUE(
      renamer_.Rename(dir.path(), dir / "y (2).jpg", dir / "2015-05-03 10-20-32.JPG").Taken());
  EXPECT_TRUE(renamer_.Rename(dir.path(), dir / "2015-05-03 10-20-32.jpg", dir / "z.jpg").Done());
  EXPECT_TRUE(
      renamer_.Rename(dir.path(), dir / "y (2).jpg", dir / "2015-05-03 10-20-32.JPG").Done());
  EXPECT_EQ(Snapshot(dir.path()).size(), 3u);
}

TEST_P(RenameWays, OtherFailuresCarryTheSystemsReason) {
  TempDir dir;
  RenameResult result = renamer_.Rename(dir.path(), dir / "missing (2).jpg", dir / "new.jpg");
  EXPECT_EQ(result.kind, Kind::kFailed);
  EXPECT_EQ(Describe(result), "No such file or directory");
  // Nothing is left behind, a reservation neither.
  EXPECT_TRUE(Snapshot(dir.path()).empty());
}

INSTANTIATE_TEST_SUITE_P(EachWay, RenameWays,
                         ::testing::Values(Renamer::Method::kAuto,
                                           Renamer::Method::kExclusiveRename,
                                           Renamer::Method::kLinkThenUnlink,
                                           Renamer::Method::kReserveThenRename));

// The ways' failures, forced on a folder in memory, Cam1.
class ForcedFailures : public ::testing::Test {
 protected:
  static constexpr const char* kCam = "Cam1";
  static std::string P(const std::string& name) { return std::string(kCam) + "/" + name; }
  static void Fill(FakeDisk& disk) {
    disk.MakeFolder(kCam);
    for (const char* name : {"a (2).jpg", "b (2).jpg", "c (2).jpg", "taken.jpg"})
      disk.Put(P(name), name);
  }
  void SetUp() override { Fill(sys_); }
  RenameResult Rename(const char* from, const char* to) {
    return renamer_.Rename(kCam, P(from), P(to));
  }
  Files Now() const { return sys_.Files(kCam); }

  FakeDisk sys_;
  Renamer renamer_{sys_, nullptr};
};

TEST_F(ForcedFailures, ACardRefusingBothWaysGetsReservations) {
  sys_.no_replace_error = EINVAL;  // as exFAT and FAT under FUSE
  sys_.link_error = EPERM;
  EXPECT_TRUE(Rename("a (2).jpg", "1.jpg").Done());
  sys_.Put(P("9.jpg"), "late");  // made by another program meanwhile
  EXPECT_TRUE(Rename("b (2).jpg", "9.jpg").Taken());
  EXPECT_TRUE(Rename("b (2).jpg", "2.jpg").Done());
  // The flag is given up once and for all; links, refused picture by
  // picture, are asked for again.
  EXPECT_EQ(sys_.no_replace_calls, 1);
  EXPECT_EQ(sys_.creations, 3);
  EXPECT_EQ(Now(), (Files{{"1.jpg", "a (2).jpg"},
                          {"2.jpg", "b (2).jpg"},
                          {"c (2).jpg", "c (2).jpg"},
                          {"9.jpg", "late"},
                          {"taken.jpg", "taken.jpg"}}));
}

TEST_F(ForcedFailures, OnePictureThatCannotBeLinkedDoesNotTurnLinksOff) {
  sys_.no_replace_error = EOPNOTSUPP;
  sys_.link_once = EPERM;  // a protected picture of another user
  EXPECT_TRUE(Rename("a (2).jpg", "1.jpg").Done());
  EXPECT_TRUE(Rename("b (2).jpg", "2.jpg").Done());
  EXPECT_EQ(sys_.creations, 1);
  EXPECT_EQ(sys_.links, 1);
  // A file system without links at all turns them off for the run.
  sys_.link_error = EOPNOTSUPP;
  EXPECT_TRUE(Rename("c (2).jpg", "3.jpg").Done());
  EXPECT_TRUE(Rename("3.jpg", "4.jpg").Done());
  EXPECT_EQ(sys_.creations, 3);
}

TEST_F(ForcedFailures, AHalfDoneLinkKeepsThePictureUnderOneNameOrSaysSo) {
  sys_.no_replace_error = EINVAL;
  sys_.unlink_old = EPERM;  // a sticky folder: the old name cannot go
  RenameResult result = Rename("a (2).jpg", "1.jpg");
  EXPECT_EQ(result.kind, Kind::kFailed);
  EXPECT_EQ(Describe(result), "Operation not permitted");
  EXPECT_EQ(Now().count("1.jpg"), 0u);

  sys_.unlink_new = EPERM;  // and the new name cannot go either
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
TEST_F(ForcedFailures, APictureMovedOnByAnotherProgramKeepsOneName) {
  sys_.no_replace_error = EINVAL;
  sys_.moved_on_to = P("2.jpg");
  RenameResult result = Rename("a (2).jpg", "1.jpg");
  EXPECT_EQ(Describe(result), "another program moved it meanwhile");
  EXPECT_EQ(Now().count("1.jpg"), 0u);
  EXPECT_EQ(Now().at("2.jpg"), "a (2).jpg");

  sys_.moved_on_to = P("3.jpg");
  sys_.unlink_new = EPERM;
  EXPECT_EQ(Rename("b (2).jpg", "4.jpg").kind, Kind::kBothNames);
}

TEST_F(ForcedFailures, AFailedRenameOverAReservationRemovesOnlyTheReservation) {
  sys_.no_replace_error = EINVAL;
  sys_.link_error = EPERM;
  sys_.replace_error = EACCES;
  RenameResult result = Rename("a (2).jpg", "1.jpg");
  EXPECT_EQ(Describe(result), "Permission denied");
  EXPECT_EQ(Now().count("1.jpg"), 0u);
  EXPECT_EQ(Now().size(), 4u);
  // A reservation that cannot be removed is said, with its name.
  sys_.fail["remove"] = EIO;
  result = Rename("a (2).jpg", "1.jpg");
  EXPECT_EQ(result.left, RenameResult::Left::kNewName);
  EXPECT_EQ(result.left_error, EIO);
}

TEST_F(ForcedFailures, AReservationWrittenOverIsAnotherProgramsFile) {
  sys_.no_replace_error = EINVAL;
  sys_.link_error = EPERM;
  sys_.written_over = "COPIED";  // by a copy or a sync tool, in between
  EXPECT_TRUE(Rename("a (2).jpg", "1.jpg").Taken());
  sys_.written_over.clear();
  EXPECT_TRUE(Rename("a (2).jpg", "2.jpg").Done());
  EXPECT_EQ(Now().at("1.jpg"), "COPIED");
  EXPECT_EQ(Now().at("2.jpg"), "a (2).jpg");
}

TEST_F(ForcedFailures, AFolderNotReadWholeLeavesThePictureAndIsReadAgain) {
  sys_.read_error = EMFILE;
  RenameResult result = Rename("a (2).jpg", "TAKEN.JPG");
  EXPECT_EQ(Describe(result), "Too many open files");
  EXPECT_EQ(Now().count("a (2).jpg"), 1u);
  sys_.read_error = 0;
  EXPECT_TRUE(Rename("a (2).jpg", "TAKEN.JPG").Taken());
}

// A named pipe among the pictures is renamed, and the write through goes on
// past it at once: opening it to write would wait for a writer for ever.
TEST(RealDisk, ANamedPipeIsRenamedWithoutWaiting) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no named pipes among a folder's files";
#else
  TempDir dir;
  ASSERT_EQ(mkfifo((dir / "p (2).jpg").c_str(), 0644), 0);
  platform::RealDisk disk;
  Renamer renamer(disk, nullptr, Renamer::Method::kAuto, WriteThrough::kPictureAndFolder);
  EXPECT_EQ(renamer.Rename(dir.path(), dir / "p (2).jpg", dir / "1.jpg").kind, Kind::kDone);
#endif
}

}  // namespace
}  // namespace stampwise
