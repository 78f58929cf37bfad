#include "list/command_processor.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#ifndef _WIN32
#include <unistd.h>
#endif
#include <cstdio>
#include <string>
#include <vector>

#include "fakes.hpp"
#include "test_util.hpp"

namespace stampwise {
namespace {

using test::Exists;
using test::MakeDir;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

class CommandTest : public ::testing::Test {
 protected:
  int RunCommand(const std::string& command) { return commands_.Run(command); }

  TempDir dir_;
  test::WorkingDirectory here_{dir_.path()};
  platform::RealDisk disk_;
  CommandProcessor commands_{disk_};
};

TEST_F(CommandTest, ListsBareNamesInTheHomePlatformsOrder) {
  MakeDir("Cam1/sub");
  for (const char* name : {"b.jpg", "a.JPG", "A_1.jpg", "c", ".hidden", "Z.jpg"})
    WriteFile(std::string("Cam1/") + name, "x");
  std::string twin;
#ifndef _WIN32
  WriteFile("Cam1/B.jpg", "x");  // one name with b.jpg where case is ignored
  twin = "B.jpg\r\n";
  // A line feed would make two lines of one name, the second naming
  // another file: such a name is left out.
  WriteFile("Cam1/x\n.015-05-03 10-20-30 (2).jpg", "x");
#endif
  EXPECT_EQ(RunCommand("dir /b Cam1 > AllFiles.txt"), 0);
  // The listing is handed over for the renames, with what it left out.
  FolderListing listing = commands_.TakeListing();
  EXPECT_EQ(listing.folder(), "Cam1");
  EXPECT_EQ(listing.with_line_feed(), twin.empty() ? 0u : 1u);
  // Upper-case order ("_" comes after the letters), ties by the bytes;
  // folders are entries too; hidden names are not.
  EXPECT_EQ(ReadFile("AllFiles.txt"),
            "a.JPG\r\nA_1.jpg\r\n" + twin + "b.jpg\r\nc\r\nsub\r\nZ.jpg\r\n");
}

TEST_F(CommandTest, ListsNumberedNamesByTheirNumbers) {
  // The order the listing must give, whatever order the names were made in.
  std::vector<std::string> order;
  const std::string stamp = "2015-05-03 10-20-30";
  for (const char* form : {" (%d).JPG", " [%d].jpg", "-%d.jpg"})
    for (int n = 1; n <= 12; ++n) {
      char suffix[16];
      std::snprintf(suffix, sizeof suffix, form, n);
      order.push_back(stamp + suffix);
    }
  order.push_back(stamp + ".jpg");
  order.push_back("2015-05-03 10-20-31 (1).JPG");
  for (const char* name : {"IMG_9.JPG", "IMG_09.JPG", "img_10.jpg", "IMG_0010.JPG",
#ifndef _WIN32
                           "Notes.txt",  // one name with notes.txt where case is ignored
#endif
                           "notes.txt", "x0", "x00", "x1"})
    order.push_back(name);
  MakeDir("Cam1");
  for (auto it = order.rbegin(); it != order.rend(); ++it) WriteFile("Cam1/" + *it, "");
  ASSERT_EQ(RunCommand("dir /b Cam1 > AllFiles.txt"), 0);
  std::string expected;
  for (const std::string& name : order) expected += name + "\r\n";
  EXPECT_EQ(ReadFile("AllFiles.txt"), expected);
}

TEST_F(CommandTest, StatusOneWhenAFolderCannotBeListed) {
  MakeDir("Empty");
  WriteFile("plain", "");
  WriteFile("AllFiles.txt", "stale\r\n");
  EXPECT_EQ(RunCommand("dir /b Empty > AllFiles.txt"), 0);
  EXPECT_EQ(ReadFile("AllFiles.txt"), "");

  for (const char* command :
       {"dir /b Missing > AllFiles.txt", "dir /b plain > AllFiles.txt", "dir /b  > AllFiles.txt"}) {
    WriteFile("AllFiles.txt", "stale\r\n");
    EXPECT_EQ(RunCommand(command), 1) << command;
    // The redirect comes first: the stale list is gone even so.
    EXPECT_EQ(ReadFile("AllFiles.txt"), "") << command;
  }
}

TEST_F(CommandTest, SaysOnStandardErrorWhyAFolderCannotBeListed) {
  MakeDir("Locked");
  WriteFile("plain", "");
  struct Case {
    const char* folder;
    std::string said;
    bool as_other_user;  // root reads every folder: become another user
  } cases[] = {
      {"Missing", "Missing: No such file or directory\n", false},
      {"plain", "plain: Not a directory\n", false},
#ifndef _WIN32
      {"Locked", "Locked: Permission denied\n", true},
      {"Cam1", "AllFiles.txt: Permission denied\n", true},  // a read-only working directory
#endif
  };
  for (const Case& c : cases) {
#ifndef _WIN32
    std::filesystem::permissions(".", c.folder == std::string("Cam1")
                                          ? std::filesystem::perms(0555)
                                          : std::filesystem::perms(0777));
    std::filesystem::permissions("Locked", std::filesystem::perms::none);
    if (c.as_other_user && geteuid() == 0) {
      ASSERT_EQ(seteuid(65534), 0);
    }
#endif
    ::testing::internal::CaptureStderr();
    int status = RunCommand(std::string("dir /b ") + c.folder + " > AllFiles.txt");
    std::string said = ::testing::internal::GetCapturedStderr();
#ifndef _WIN32
    if (c.as_other_user && getuid() == 0) {
      ASSERT_EQ(seteuid(0), 0);
    }
    std::filesystem::permissions(".", std::filesystem::perms(0700));
#endif
    EXPECT_EQ(status, 1) << c.folder;
    EXPECT_EQ(said, c.said);
  }
}

TEST_F(CommandTest, FolderNamesAreNeverCommands) {
  for (const char* folder : {"x;touch PWNED", "$(touch PWNED)", "x&touch PWNED", "`touch PWNED`",
                             "x|touch PWNED", "'x'\"y\"", "x>PWNED", "x > PWNED"}) {
    std::string command = std::string("dir /b ") + folder + " > AllFiles.txt";
    EXPECT_EQ(RunCommand(command), 1) << command;
    EXPECT_FALSE(Exists("PWNED")) << command;
  }
  // A folder whose name holds such characters is simply listed.
  MakeDir("$(x);y&z");
  WriteFile("$(x);y&z/pic.jpg", "");
  EXPECT_EQ(RunCommand("dir /b $(x);y&z > AllFiles.txt"), 0);
  EXPECT_EQ(ReadFile("AllFiles.txt"), "pic.jpg\r\n");
}

TEST_F(CommandTest, DeleteRemovesTheListItWroteAndOtherCommandsRunNothing) {
  MakeDir("Cam1");
  ASSERT_EQ(RunCommand("dir /b Cam1 > AllFiles.txt"), 0);
  EXPECT_EQ(RunCommand("del AllFiles.txt"), 0);
  EXPECT_FALSE(Exists("AllFiles.txt"));
  EXPECT_NE(RunCommand("del AllFiles.txt"), 0);

  WriteFile("keep", "x");
  for (const char* command : {"del keep", "rm keep", "del keep now", "", "dir /b ."})
    EXPECT_EQ(RunCommand(command), 1) << command;
  EXPECT_TRUE(Exists("keep"));
}

// Two runs in one working directory, in memory: the second is refused while
// the first holds its list, from before its listing to its delete.
TEST(TwoRuns, TheSecondIsRefusedUntilTheFirstHasDeletedItsList) {
  test::MemoryDisk disk;
  disk.MakeFolder("Cam1");
  disk.Put("Cam1/a (2).jpg", "a");
  CommandProcessor first(disk), second(disk);
  ASSERT_EQ(first.Run("dir /b Cam1 > AllFiles.txt"), 0);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(second.Run("dir /b Cam1 > AllFiles.txt"), 1);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "AllFiles.txt: another run of the program is using it here\n");
  EXPECT_EQ(first.Run("del AllFiles.txt"), 0);
  EXPECT_EQ(disk.Files(".").count("AllFiles.txt"), 0u);
  EXPECT_EQ(second.Run("dir /b Cam1 > AllFiles.txt"), 0);
  // From another working directory, on the same folder: the folder's own
  // lock refuses it, until the first run ends.
  disk.MakeFolder("Elsewhere");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(first.Run("dir /b Cam1 > Elsewhere/AllFiles.txt"), 1);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Cam1: another run of the program is renaming pictures in this folder\n");
  EXPECT_EQ(second.Run("del AllFiles.txt"), 0);
  EXPECT_EQ(first.Run("dir /b Cam1 > Elsewhere/AllFiles.txt"), 0);
}

// A list file that another program holds without sharing it is no other
// run's: the listing goes on, and where it cannot replace the file it says
// that another program has it open.
TEST(TwoRuns, AFileHeldByAnotherProgramIsNotAnotherRun) {
  for (int replace_error : {0, EACCES}) {
    test::FakeDisk disk;
    disk.MakeFolder("Cam1");
    disk.Put("AllFiles.txt", "");
    disk.fail["open"] = EBUSY;  // a sharing violation, as Windows says it
    if (replace_error != 0) disk.fail["replace"] = replace_error;  // and the move, refused
    CommandProcessor commands(disk);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(commands.Run("dir /b Cam1 > AllFiles.txt"), replace_error == 0 ? 0 : 1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              replace_error == 0 ? "" : "AllFiles.txt: The file is in use by another program\n");
  }
}

}  // namespace
}  // namespace stampwise
