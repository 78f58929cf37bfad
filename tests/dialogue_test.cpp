// The whole program from the outside: the console dialogue, the folder name
// and the ways a run ends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "test_util.hpp"

namespace stampwise::test {
namespace {

const std::string kProblem =
    "There was a problem with the folder name ... Press Enter to terminate    \r\n";

TEST(Dialogue, RunWithNothingToRenameIsBannerThenClosingLine) {
  TempDir work;
  MakeDir(work / "Cam1");
  WriteFile(work / "Cam1/2015-05-03 10-20-30.jpg", "plain stamp");
  WriteFile(work / "Cam1/notes.txt", "not a picture");

  Outcome run = RunProgram(work.path(), "Cam1\n\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, Opening() + Closing());
  EXPECT_EQ(run.err, "STOP\n");
  EXPECT_FALSE(Exists(work / "AllFiles.txt"));
  EXPECT_EQ(Snapshot(work / "Cam1").size(), 2u);

  // Whatever is typed on the last line is discarded; NO_STOP_MESSAGE, set
  // to anything, silences the stop notice.
  run = RunProgram(work.path(), "Cam1\r\nanything\r\n", /*no_stop_message=*/true);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, Opening() + Closing());
  EXPECT_EQ(run.err, "");
}

TEST(Dialogue, BannerRecordsAreSixtySevenCharacters) {
  std::string opening = Opening();
  EXPECT_EQ(opening.substr(0, 69),
            "Program Stampwise, Version 1.0, 21 September, 2015" + std::string(17, ' ') + "\r\n");
  EXPECT_EQ(opening.size(), 4 * 69u + 2u);
  EXPECT_EQ(opening.substr(71, 69),
            "Enter folder name containing Reconyx relabeld jpg files, then ENTER\r\n");
}

TEST(FolderName, ProblemRecordAndOneEnterForNamesThatCannotBeUsed) {
  TempDir work;
  std::string name26(26, 'n');
  std::string name27(27, 'n');
  MakeDir(work / name27);  // exists, but its paths would not fit

  struct Case {
    std::string typed;
    std::string why;
    bool list_left;  // the listing ran and left its (empty) list behind
  } cases[] = {
      {"Missing", "", true},
      {"", " No folder name was typed.\r\n", false},
      {"    ", " No folder name was typed.\r\n", false},
      {name27, " The folder name is longer than 26 characters.\r\n", false},
      {name26, "", true},  // fits, but does not exist
  };
  for (const Case& c : cases) {
    Outcome run = RunProgram(work.path(), c.typed + "\n\n");
    EXPECT_EQ(run.status, 0) << c.typed;
    EXPECT_EQ(run.out, Opening() + c.why + kProblem) << c.typed;
    EXPECT_EQ(Exists(work / "AllFiles.txt"), c.list_left) << c.typed;
    if (c.list_left) {
      EXPECT_EQ(ReadFile(work / "AllFiles.txt"), "") << c.typed;
    }
    std::filesystem::remove(work / "AllFiles.txt");
  }
}

TEST(FolderName, ShellCharactersCreateNothingAndRunNothing) {
  TempDir work;
  for (std::string name : {"x;touch PWNED", "$(touch PWNED)", "x&touch PWNED", "`touch PWNED`",
                           "x|touch PWNED", "x > PWNED"}) {
    Outcome run = RunProgram(work.path(), name + "\n\n");
    EXPECT_EQ(run.status, 0) << name;
    EXPECT_EQ(run.out, Opening() + kProblem) << name;
    EXPECT_FALSE(Exists(work / "PWNED")) << name;
  }
}

TEST(EndOfInput, IsError217WithExitStatus127) {
  TempDir work;
  MakeDir(work / "Cam1");
  for (std::string input : {"", "Cam1\n", "Missing\n"}) {
    Outcome run = RunProgram(work.path(), input);
    EXPECT_EQ(run.status, 127) << input;
    EXPECT_NE(run.err.find("error 217"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("attempt to read past end of file"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("unit 5"), std::string::npos) << run.err;
    // Output still buffered is not written at this end.
    EXPECT_EQ(run.err.find("STOP"), std::string::npos) << run.err;
  }
}

#ifndef _WIN32
TEST(OutputFailure, FullDeviceIsAnErrorNeverSuccess) {
  TempDir work;
  MakeDir(work / "Cam1");
  int raw = std::system(("cd \"" + work.path() + "\" && printf 'Cam1\\n\\n' | \"" STAMPWISE_EXE
                         "\" > /dev/full 2> err")
                            .c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 127);
  std::string err = ReadFile(work / "err");
  EXPECT_NE(err.find("error code returned by host stdio"), std::string::npos) << err;
  EXPECT_NE(err.find("unit 6"), std::string::npos) << err;
}
#endif

}  // namespace
}  // namespace stampwise::test
