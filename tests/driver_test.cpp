// The whole program from the outside: the console dialogue, the folder name
// and the ways a run ends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "console/words.hpp"
#include "test_util.hpp"

namespace stampwise::test {
namespace {

const std::string kProblem = std::string(words::kProblem) + "    \r\n";
const std::string kBlanks = std::string(" ") + words::kFolderBlanks + "\r\n";
const std::string kControl = std::string(" ") + words::kFolderControl + "\r\n";
[[maybe_unused]] const std::string kDrive = std::string(" ") + words::kFolderDrive + "\r\n";
[[maybe_unused]] const std::string kRaw = std::string(" ") + words::kFolderRaw + "\r\n";
[[maybe_unused]] const std::string kDot = std::string(" ") + words::kFolderEndsInDot + "\r\n";

TEST(Dialogue, RunWithNothingToRenameIsBannerThenClosingLine) {
  TempDir work;
  MakeDir(work / "Cam1");
  WriteFile(work / "Cam1/2015-05-03 10-20-30.jpg", "plain stamp");
  WriteFile(work / "Cam1/notes.txt", "not a picture");

  Outcome run = RunProgram(work.path(), "Cam1\n\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, Opening() + Closing());
  // The banner is 67 characters: the title and 17 blanks; the first
  // instruction fills all 67.
  EXPECT_EQ(run.out.substr(0, 71), "Program Stampwise, Version 1.0, 21 September, 2015" +
                                       std::string(17, ' ') + "\r\n\r\n");
  EXPECT_EQ(run.out.substr(71, 69),
            "Enter folder name containing Reconyx relabeld jpg files, then ENTER\r\n");
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

TEST(FolderName, ProblemRecordAndOneEnterForNamesThatCannotBeUsed) {
  TempDir work;
  std::string name26(26, 'n');
  std::string name27(27, 'n');
  MakeDir(work / name27);  // exists, but its paths would not fit

  const std::string kTooLong = std::string(" ") + words::kFolderTooLong + "\r\n";
  MakeDir(work / "Cam1");
  struct Case {
    std::string typed;
    std::string why;
    bool list_left;  // the listing ran and left its (empty) list behind
  } cases[] = {
      {"Missing", "", true},
      {"", " No folder name was typed.\r\n", false},
      {"    ", " No folder name was typed.\r\n", false},
      {name27, kTooLong, false},
      {name26, "", true},  // fits, but does not exist
      // Fields count bytes: 14 Cyrillic letters are 28.
      {"\xd0\xa4\xd0\xbe\xd1\x82\xd0\xbe" + std::string(20, 'n'), kTooLong, false},
      {" Cam1", kBlanks, false},
      {"All Locations", kBlanks, false},
      // A NUL would cut every path at it; no folder has a TAB in its name.
      {std::string("Cam1\0", 5), kControl, false},
      {"Cam\t1", kControl, false},
      // Past the field's 50 characters, after blanks: not Cam1.
      {"Cam1" + std::string(46, ' ') + "Other", kBlanks, false},
      {"Cam1" + std::string(5000, ' ') + "Other", kBlanks, false},
#ifdef _WIN32
      // A drive's current folder, and a path taken as it stands.
      {"D:", kDrive, false},
      {"D:Cam1", kDrive, false},
      {"\\\\?\\C:\\Cam1", kRaw, false},
      {"\\??\\C:\\Cam1", kRaw, false},
      // Windows would list Cam1, and flush another folder.
      {"Cam1..", kDot, false},
#else
      {"D:", "", true},
#endif
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
    std::string why = name.find(' ') != std::string::npos ? kBlanks : "";
    EXPECT_EQ(run.out, Opening() + why + kProblem) << name;
    EXPECT_FALSE(Exists(work / "PWNED")) << name;
  }
}

TEST(EndOfInput, IsError217WithExitStatus127) {
  TempDir work;
  MakeDir(work / "Cam1");
  // The report names the statement that read: the folder name, or the
  // final ENTER (or the one after the problem message).
  for (auto [input, statement] : {std::pair<std::string, std::string>{"", "create_pics_list.cpp:"},
                                  {"Cam1\n", "driver.cpp:"},
                                  {"Missing\n", "create_pics_list.cpp:"}}) {
    Outcome run = RunProgram(work.path(), input);
    EXPECT_EQ(run.status, 127) << input;
    EXPECT_NE(run.err.find("failing statement at "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(statement), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("error 217"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("attempt to read past end of file"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("unit 5"), std::string::npos) << run.err;
    // Not the orderly end: no stop notice.
    EXPECT_EQ(run.err.find("STOP"), std::string::npos) << run.err;
  }
}

TEST(ListFile, ReplacesWhateverEntryBearsItsNameNeverWritingThrough) {
  struct Case {
    const char* what;
    std::string make;  // shell words that make AllFiles.txt in the working directory
    bool listed;
  } cases[] = {
#ifndef _WIN32
      {"symbolic link", "ln -s elsewhere/victim AllFiles.txt", true},
      {"hard link", "ln elsewhere/victim AllFiles.txt", true},
      {"named pipe", "mkfifo AllFiles.txt", true},
#endif
      {"folder", "mkdir AllFiles.txt", false},
  };
  for (const Case& c : cases) {
    TempDir work;
    MakeDir(work / "Cam1");
    MakeDir(work / "elsewhere");
    WriteFile(work / "elsewhere/victim", "a picture elsewhere");
    WriteFile(work / "Cam1/2015-05-03 10-20-30 (2).JPG", "burst");
#ifdef _WIN32
    std::filesystem::create_directory(work / "AllFiles.txt");
#else
    ASSERT_EQ(std::system(("cd \"" + work.path() + "\" && " + c.make).c_str()), 0) << c.what;
#endif
    Outcome run = RunProgram(work.path(), "Cam1\n\n");
    EXPECT_EQ(run.status, 0) << c.what;
    EXPECT_EQ(ReadFile(work / "elsewhere/victim"), "a picture elsewhere") << c.what;
    EXPECT_EQ(Snapshot(work / "Cam1").count("2015-05-03 10-20-31.jpg"), c.listed ? 1u : 0u)
        << c.what;
    if (!c.listed) {
      EXPECT_EQ(run.out, Opening() + kProblem) << c.what;
      EXPECT_EQ(run.err, "AllFiles.txt: Is a directory\nSTOP\n") << c.what;
    }
    EXPECT_EQ(Snapshot(work.path()).size(), 0u) << c.what;  // no new file of its own left
  }
}

#ifndef _WIN32
TEST(IoFailure, AFullDeviceAClosedPipeOrAnUnreadableConsoleIsAnErrorNeverSuccess) {
  TempDir work;
  MakeDir(work / "Cam1");
  // More than the 64 KiB that the output keeps before writing.
  for (int i = 0; i < 600; ++i)
    WriteFile(work / ("Cam1/2015-05-03 10-" + std::to_string(10 + i / 60) + "-" +
                      std::to_string(10 + i % 50) + " (" + std::to_string(i) + ").jpg"),
              "");
  for (const char* sink : {"> /dev/full", "| head -c 100 > /dev/null"}) {
    WriteFile(work / "run.sh", "printf 'Cam1\\n\\n' | \"" STAMPWISE_EXE "\" 2> err " +
                                   std::string(sink) + "; exit ${PIPESTATUS[1]}\n");
    int raw = std::system(("cd \"" + work.path() + "\" && bash run.sh").c_str());
    ASSERT_TRUE(WIFEXITED(raw)) << sink;
    EXPECT_EQ(WEXITSTATUS(raw), 127) << sink;
    std::string err = ReadFile(work / "err");
    EXPECT_NE(err.find("error code returned by host stdio"), std::string::npos) << err;
    EXPECT_NE(err.find("unit 6"), std::string::npos) << err;
  }
  // A console that cannot be read at all (a folder): the report names the
  // statement that read the folder name.
  int raw = std::system(
      ("cd \"" + work.path() + "\" && \"" STAMPWISE_EXE "\" < / 2> err >/dev/null").c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 127);
  std::string err = ReadFile(work / "err");
  EXPECT_NE(err.find("error 21 in formatted read on unit 5: error code returned by host stdio"),
            std::string::npos)
      << err;
  EXPECT_NE(err.find("create_pics_list.cpp:"), std::string::npos) << err;
}
#endif

}  // namespace
}  // namespace stampwise::test
