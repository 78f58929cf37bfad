// The program's whole job, end to end: which pictures it renames, to what,
// what it says for each attempt, and that no picture is ever lost or
// replaced; on real folders through the real program, and on a disk in
// memory, whose calls can fail, through PROCESSLIST in this process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "console/output.hpp"
#include "console/words.hpp"
#include "fakes.hpp"
#include "list/command_processor.hpp"
#include "rename/process_list.hpp"
#include "test_util.hpp"

namespace stampwise::test {
namespace {

std::string Echo(const std::string& from, const std::string& to) {
  return " " + from + "\r\n " + to + "\r\n";
}

std::string Success(const std::string& to) {
  return words::kSuccess + std::string(50 - to.size(), ' ') + to + "\r\n";
}

std::string NotRenamed(const std::string& path, const std::string& why) {
  return std::string(" ") + words::kNotRenamed + path + ": " + why + "\r\n";
}

std::vector<std::string> Contents(const std::map<std::string, std::string>& files) {
  std::vector<std::string> contents;
  for (const auto& [name, content] : files) contents.push_back(content);
  std::sort(contents.begin(), contents.end());
  return contents;
}

// A folder of pictures, each with content of its own, so that a test can
// tell that every picture is still there, byte for byte, under one name.
class Folder {
 public:
  explicit Folder(std::string name = "Cam1") : name_(std::move(name)) { MakeDir(work_ / name_); }
  void Add(const std::string& file) { WriteFile(work_ / (name_ + "/" + file), "picture " + file); }
  std::map<std::string, std::string> Files() const { return Snapshot(work_ / name_); }
  Outcome RunProgram() const { return test::RunProgram(work_.path(), name_ + "\n\n"); }
  std::string Path(const std::string& file) const { return name_ + "/" + file; }
  const TempDir& work() const { return work_; }

 private:
  TempDir work_;
  std::string name_;
};

// Runs the program and checks what must hold for every run: exit 0, the
// list file gone, no picture lost or replaced, none left with two names.
Outcome RunAndKeepEveryPicture(const Folder& folder) {
  std::vector<std::string> before = Contents(folder.Files());
  Outcome run = folder.RunProgram();
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_FALSE(Exists(folder.work() / "AllFiles.txt"));
  EXPECT_EQ(Contents(folder.Files()), before);
  return run;
}

TEST(Renaming, WorkedExampleByteForByte) {
  Folder folder;
  folder.Add("2015-05-03 10-20-30 (2).JPG");
  Outcome run = RunAndKeepEveryPicture(folder);
  EXPECT_EQ(run.out, Opening() +
                         Echo("Cam1/2015-05-03 10-20-30 (2).JPG", "Cam1/2015-05-03 10-20-31.jpg") +
                         Success("Cam1/2015-05-03 10-20-31.jpg") + Closing());
  // The success line is 71 characters: 21, then the path right-aligned in 50.
  std::size_t success = run.out.find("Successfully renamed ");
  ASSERT_NE(success, std::string::npos);
  EXPECT_EQ(run.out.find("\r\n", success) - success, 71u);
  EXPECT_EQ(folder.Files().count("2015-05-03 10-20-31.jpg"), 1u);
}

TEST(Renaming, TakenNamesInAnyLetterCaseMoveOnToTheNextSecond) {
  Folder folder;
  folder.Add("2015-05-03 10-20-30 (2).JPG");
  folder.Add("2015-05-03 10-20-31.jpg");
  folder.Add("2015-05-03 10-20-32.JPG");  // a twin but for the letter case
  Outcome run = RunAndKeepEveryPicture(folder);
  std::string from = folder.Path("2015-05-03 10-20-30 (2).JPG");
  EXPECT_EQ(run.out, Opening() + Echo(from, "Cam1/2015-05-03 10-20-31.jpg") +
                         Echo(from, "Cam1/2015-05-03 10-20-32.jpg") +
                         Echo(from, "Cam1/2015-05-03 10-20-33.jpg") +
                         Success("Cam1/2015-05-03 10-20-33.jpg") + Closing());
  EXPECT_EQ(folder.Files().count("2015-05-03 10-20-33.jpg"), 1u);
  EXPECT_EQ(folder.Files().at("2015-05-03 10-20-32.JPG"), "picture 2015-05-03 10-20-32.JPG");
}

TEST(Renaming, BurstEndsUnderConsecutiveSecondsInListOrder) {
  Folder folder;
  folder.Add("2015-12-31 23-59-58.jpg");
  folder.Add("2015-12-31 23-59-58 (2).jpg");
  folder.Add("2015-12-31 23-59-58 (3).jpg");
  folder.Add("2015-12-31 23-59-58-4.jpg");
  folder.Add("2015-12-31 23-59-58 [5].jpg");
  Outcome run = RunAndKeepEveryPicture(folder);
  // List order by bytes after the stamp: " (" < " [" < "-" < ".".
  std::map<std::string, std::string> files = folder.Files();
  EXPECT_EQ(files.at("2015-12-31 23-59-59.jpg"), "picture 2015-12-31 23-59-58 (2).jpg");
  EXPECT_EQ(files.at("2016-01-01 00-00-00.jpg"), "picture 2015-12-31 23-59-58 (3).jpg");
  EXPECT_EQ(files.at("2016-01-01 00-00-01.jpg"), "picture 2015-12-31 23-59-58 [5].jpg");
  EXPECT_EQ(files.at("2016-01-01 00-00-02.jpg"), "picture 2015-12-31 23-59-58-4.jpg");
  EXPECT_EQ(files.at("2015-12-31 23-59-58.jpg"), "picture 2015-12-31 23-59-58.jpg");
  EXPECT_EQ(files.size(), 5u);
  // The last of the burst tried every name its elders took.
  EXPECT_NE(run.out.find(Echo("Cam1/2015-12-31 23-59-58-4.jpg", "Cam1/2016-01-01 00-00-01.jpg")),
            std::string::npos);
}

TEST(Renaming, AFrozenClocksPicturesKeepTheOrderTheyWereTakenIn) {
  Folder folder;
  for (int n = 1; n <= 200; ++n) folder.Add("2000-01-01 00-00-00 (" + std::to_string(n) + ").JPG");
  RunAndKeepEveryPicture(folder);
  std::map<std::string, std::string> files = folder.Files();
  for (int n = 1; n <= 200; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "2000-01-01 00-%02d-%02d.jpg", n / 60, n % 60);
    EXPECT_EQ(files[name], "picture 2000-01-01 00-00-00 (" + std::to_string(n) + ").JPG");
  }
}

TEST(Renaming, SelectsOnlyASuffixRightAfterTheStamp) {
  Folder folder;
  const std::vector<std::string> selected = {
      "2015-05-03 10-20-30-x.jpg",    // "-" at 20, whatever stands at 21
      "2015-05-03 10-20-32 (1).png",  // "(" at 21
      "2015-05-03 10-20-34x[1].jpg",  // "[" at 21, whatever stands at 20
  };
  const std::vector<std::string> skipped = {
      "2015-05-03 10-20-40.jpg",      // a plain stamp name: "." at 20
      "2015-05-03 10-20-42 {1}.jpg",  // blank at 20, "{" at 21
      "2015-05-03 10-20-44 1.jpg",    // a digit at 21
      "2015-05-03 10-20-46",          // exactly 19 characters
      "IMG_0001 (2).JPG",             // too short to reach 21
#ifndef _WIN32
      "2015-05-03 10-20-48 ",  // 20, padded with blanks (no such name on Windows)
#endif
  };
  for (const std::string& name : selected) folder.Add(name);
  for (const std::string& name : skipped) folder.Add(name);
  Outcome run = RunAndKeepEveryPicture(folder);
  std::map<std::string, std::string> files = folder.Files();
  EXPECT_EQ(files.at("2015-05-03 10-20-31.jpg"), "picture 2015-05-03 10-20-30-x.jpg");
  EXPECT_EQ(files.at("2015-05-03 10-20-33.jpg"), "picture 2015-05-03 10-20-32 (1).png");
  EXPECT_EQ(files.at("2015-05-03 10-20-35.jpg"), "picture 2015-05-03 10-20-34x[1].jpg");
  for (const std::string& name : skipped) {
    EXPECT_EQ(files.count(name), 1u) << name;
    EXPECT_EQ(run.out.find(name), std::string::npos) << name;
  }
}

#ifndef _WIN32
TEST(Renaming, LeavesANameThatEndsInABlank) {
  // Handed over without its blank, the name would be its twin's.
  Folder folder;
  folder.Add("2015-05-03 10-20-40 (2).jpg ");
  folder.Add("2015-05-03 10-20-30-1.jpg ");
  folder.Add("2015-05-03 10-20-30-1.jpg");
  Outcome run = RunAndKeepEveryPicture(folder);
  for (const char* name : {"2015-05-03 10-20-40 (2).jpg ", "2015-05-03 10-20-30-1.jpg "}) {
    EXPECT_NE(run.out.find(NotRenamed(folder.Path(name), words::kEndsInBlank)), std::string::npos)
        << run.out;
    EXPECT_EQ(folder.Files().at(name), std::string("picture ") + name);
  }
  EXPECT_EQ(folder.Files().at("2015-05-03 10-20-31.jpg"), "picture 2015-05-03 10-20-30-1.jpg");
  EXPECT_EQ(run.out.find("No such file"), std::string::npos) << run.out;
}
#endif

TEST(Renaming, NeverMovesAPictureBackInTime) {
  struct Case {
    const char* name;
    const char* renamed_to;  // null: left, with the line that says why
  } cases[] = {
      {"2059-12-31 23-59-59 (2).jpg", nullptr},  // 2060 cannot be written
      {"2015-05-03 59-59-59 (2).jpg", nullptr},  // nor hour 60
      {"2015-05-03 58-59-59 (2).jpg", "2015-05-03 59-00-00.jpg"},
      {"2015-05-03 30-20-30 (2).jpg", "2015-05-03 30-20-31.jpg"},  // past 23, no day carry
  };
  Folder folder;
  for (const Case& c : cases) folder.Add(c.name);
  Outcome run = RunAndKeepEveryPicture(folder);
  std::map<std::string, std::string> files = folder.Files();
  for (const Case& c : cases) {
    if (c.renamed_to != nullptr) {
      EXPECT_EQ(files.at(c.renamed_to), std::string("picture ") + c.name);
      continue;
    }
    EXPECT_EQ(files.count(c.name), 1u) << c.name;
    EXPECT_NE(run.out.find(NotRenamed(folder.Path(c.name),
                                      "a later time stamp would pass hour 59 or year 2059")),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find(" " + folder.Path(c.name) + "\r\n"), std::string::npos) << c.name;
  }
}

TEST(Renaming, NeverRenamesACutPath) {
  // 26 characters of folder name fit a new name exactly; the old name of 27
  // characters would not fit "folder/name" in 50.
  Folder folder(std::string(26, 'f'));
  folder.Add("2015-05-03 10-20-30 (2).JPG");
  Outcome run = RunAndKeepEveryPicture(folder);
  EXPECT_EQ(run.out, Opening() +
                         NotRenamed(folder.Path("2015-05-03 10-20-30 (2).JPG"),
                                    "the path is longer than 50 characters") +
                         Closing());

  Folder short_folder;
  std::string long_name = "2015-05-03 10-20-30 (2) " + std::string(30, 'x') + ".jpg";
  short_folder.Add(long_name);
  short_folder.Add("2015-05-03 10-20-30 (3).jpg");
  run = RunAndKeepEveryPicture(short_folder);
  EXPECT_NE(run.out.find(NotRenamed("Cam1/" + long_name, "the path is longer than 50 characters")),
            std::string::npos);
  EXPECT_EQ(short_folder.Files().at("2015-05-03 10-20-31.jpg"),
            "picture 2015-05-03 10-20-30 (3).jpg");
}

TEST(Renaming, LeavesAPictureWhoseStampCannotBeReadWhole) {
  Folder folder;
  folder.Add("2015-05-03 10-20-30 (2).jpg");
  folder.Add("2015-13-03 30-20-30 (2).jpg");  // read, though not a real date
  // Another century would be moved into this one.
  const char* unread[] = {"2015-05-03 10-6x-30 (2).jpg", "2115-05-03 10-20-30 (2).jpg",
                          "1915-05-03 10-20-30 (2).jpg", "ab15-05-03 10-20-30 (2).jpg"};
  for (const char* name : unread) folder.Add(name);
  Outcome run = RunAndKeepEveryPicture(folder);
  std::map<std::string, std::string> files = folder.Files();
  for (const char* name : unread) {
    EXPECT_EQ(files.count(name), 1u) << name;
    EXPECT_NE(run.out.find(NotRenamed(folder.Path(name), words::kNoStamp)), std::string::npos)
        << name;
  }
  EXPECT_EQ(files.count("2015-05-03 10-20-31.jpg"), 1u);
  EXPECT_EQ(files.count("2015-13-03 30-20-31.jpg"), 1u);
}

// Runs the listing and PROCESSLIST in this process over `disk`, on a
// folder Cam1 in memory holding `names` (each picture's content its own
// name, or nothing for those in `empty`); what they said.
std::string ProcessInMemory(FakeDisk& disk, const std::vector<std::string>& names,
                            const std::vector<std::string>& empty = {}) {
  disk.MakeFolder("Cam1");
  for (const std::string& name : names) disk.Put("Cam1/" + name, "picture " + name);
  for (const std::string& name : empty) disk.Put("Cam1/" + name, "");
  CommandProcessor commands(disk);
  EXPECT_EQ(commands.Run("dir /b Cam1 > AllFiles.txt"), 0);
  disk.log.clear();  // the renames' calls only
  return Written([&](OutputUnit& out) {
    DateTimeFields time;
    PROCESSLIST(static_cast<std::int32_t>(names.size()), NameField("Cam1"), 4, time, out, disk,
                commands);
  });
}

// A file system that calls every new name taken would keep a picture
// searching for ever: after as many refusals as the folder has entries, the
// picture is left, and the next one is tried.
TEST(Renaming, StopsAfterAsManyTakenNamesAsTheFolderHasEntries) {
  FakeDisk disk;
  disk.no_replace_error = EEXIST;
  std::string out = ProcessInMemory(
      disk, {"2015-05-03 10-20-30 (2).jpg", "2015-05-03 10-20-30 (3).jpg", "notes.txt"});
  EXPECT_EQ(disk.no_replace_calls, 2 * 4);
  for (const char* name : {"2015-05-03 10-20-30 (2).jpg", "2015-05-03 10-20-30 (3).jpg"}) {
    EXPECT_NE(out.find(NotRenamed(std::string("Cam1/") + name, words::kTakenTooOften)),
              std::string::npos)
        << out;
  }
}

// Where the system drops a dot from a name's end, a picture named so would
// be opened as its twin without the dot: it is left, and the twin renamed.
TEST(Renaming, LeavesANameEndingInADotWhereTheSystemDropsIt) {
  for (bool drops : {false, true}) {
    FakeDisk disk;
    disk.rules.drops_trailing_dots = drops;
    std::string out =
        ProcessInMemory(disk, {"2015-05-03 10-20-30 (2).JPG.", "2015-05-03 10-20-30 (2).JPG"});
    EXPECT_EQ(out.find(NotRenamed("Cam1/2015-05-03 10-20-30 (2).JPG.", words::kEndsInDot)) !=
                  std::string::npos,
              drops)
        << out;
    std::map<std::string, std::string> files = disk.Files("Cam1");
    EXPECT_EQ(files.count("2015-05-03 10-20-30 (2).JPG."), drops ? 1u : 0u);
    EXPECT_EQ(files.count("2015-05-03 10-20-30 (2).JPG"), 0u);
  }
}

// A card that fails half-way: success is said only for the renames written
// to it; the others, and the run's final write, say that they may not be.
TEST(Renaming, SaysWhichRenamesMayNotBeOnAFailingCard) {
  FakeDisk disk;
  disk.kind = platform::FileSystemKind::kFat;
  disk.sync_fails_from = 2;
  disk.file_system_sync_error = EIO;
  std::string out =
      ProcessInMemory(disk, {"2015-05-03 10-20-30 (2).jpg", "2015-05-03 10-20-30 (3).jpg"});
  EXPECT_EQ(out, Echo("Cam1/2015-05-03 10-20-30 (2).jpg", "Cam1/2015-05-03 10-20-31.jpg") +
                     Success("Cam1/2015-05-03 10-20-31.jpg") +
                     Echo("Cam1/2015-05-03 10-20-30 (3).jpg", "Cam1/2015-05-03 10-20-31.jpg") +
                     Echo("Cam1/2015-05-03 10-20-30 (3).jpg", "Cam1/2015-05-03 10-20-32.jpg") +
                     " " + words::kNotWritten +
                     "Cam1/2015-05-03 10-20-32.jpg: Input/output error; " + words::kMayHoldOldName +
                     "Cam1/2015-05-03 10-20-30 (3).jpg\r\n " + words::kNotWritten +
                     "Cam1: Input/output error; " + words::kRunNotWritten + "\r\n");
}

// What reaches the disk, in order, for each kind of file system: a rename
// is said only after the calls that put it on the disk, and the end of the
// run writes the whole file system, then the folder, which flushes the
// card's own cache. Two pictures make one group.
TEST(Renaming, EachKindOfFileSystemGetsItsWritesInOrder) {
  using platform::FileSystemKind;
  const std::string a = "2015-05-03 10-20-30 (2).jpg", b = "2015-05-03 10-20-30 (3).jpg";
  const std::string n1 = "2015-05-03 10-20-31.jpg", n2 = "2015-05-03 10-20-32.jpg";
  const std::vector<std::string> each = {"rename " + a + " " + n1, "sync " + n1, "sync Cam1/",
                                         "rename " + b + " " + n2, "sync " + n2, "sync Cam1/"};
  struct Row {
    FileSystemKind kind;
    std::vector<std::string> calls;
  };
  const Row rows[] = {
      {FileSystemKind::kJournaled, {"rename " + a + " " + n1, "rename " + b + " " + n2}},
      // Linux's exFAT: the group's renames, then one fsync of the folder.
      {FileSystemKind::kExfat, {"rename " + a + " " + n1, "rename " + b + " " + n2, "sync Cam1/"}},
      // Linux's vfat, as many at a time as the folder has room for (here
      // one): the new name first, written; the picture swapped under it
      // and written; the old name removed, and the folder written again.
      {FileSystemKind::kFat,
       {"reserve " + n1, "sync Cam1/", "swap " + a + " " + n1, "sync " + n1, "remove " + a,
        "sync Cam1/", "reserve " + n2, "sync Cam1/", "swap " + b + " " + n2, "sync " + n2,
        "remove " + b, "sync Cam1/"}},
      {FileSystemKind::kNtfsWithoutJournal, each},
      {FileSystemKind::kFuse, each},
      {FileSystemKind::kWindowsFat, each},
      {FileSystemKind::kRemovable, each},
      {FileSystemKind::kUnknown, each},
  };
  for (const Row& row : rows) {
    FakeDisk disk;
    disk.kind = row.kind;
    std::string out = ProcessInMemory(disk, {a, b});
    std::vector<std::string> expected = row.calls;
    if (row.kind != FileSystemKind::kJournaled) {
      expected.push_back("syncfs");
      expected.push_back("sync Cam1/");
    }
    EXPECT_EQ(disk.log, expected) << static_cast<int>(row.kind);
    EXPECT_EQ(out, Echo("Cam1/" + a, "Cam1/" + n1) + Success("Cam1/" + n1) +
                       Echo("Cam1/" + b, "Cam1/" + n1) + Echo("Cam1/" + b, "Cam1/" + n2) +
                       Success("Cam1/" + n2));
  }
}

// Every call of FAT's way that can fail keeps the picture under one name
// and says what became of it; an empty file under a burst name, such as
// one the way left behind, is never renamed.
TEST(Renaming, FatWaysFailuresAreSaidAndLeaveNoPictureBehind) {
  const std::string a = "2015-05-03 10-20-30 (2).jpg", n1 = "2015-05-03 10-20-31.jpg";
  const std::string empty = "2015-05-03 10-20-40 (2).jpg";
  const std::string echo = Echo("Cam1/" + a, "Cam1/" + n1);
  struct Row {
    const char* call;  // fails the first time
    std::string said;
    std::vector<std::string> files;
  };
  const Row rows[] = {
      {"sync", echo + NotRenamed("Cam1/" + a, "Input/output error"), {a, empty}},
      {"swap", echo + NotRenamed("Cam1/" + a, "Input/output error"), {a, empty}},
      {"remove",
       echo + Success("Cam1/" + n1) + " " + words::kLeftBehind + "Cam1/" + a +
           ": Input/output error; " + words::kLeftover + "\r\n",
       {a, n1, empty}},
  };
  for (const Row& row : rows) {
    FakeDisk disk;
    disk.kind = platform::FileSystemKind::kFat;
    disk.fail[row.call] = EIO;
    disk.times[row.call] = 1;
    std::string out = ProcessInMemory(disk, {a, empty}, {empty});
    EXPECT_EQ(out, row.said + NotRenamed("Cam1/" + empty, words::kEmptyFile)) << row.call;
    std::vector<std::string> names;
    int pictures = 0;
    for (const auto& [name, content] : disk.Files("Cam1")) {
      names.push_back(name);
      pictures += content == "picture " + a;
    }
    EXPECT_EQ(names, row.files) << row.call;
    EXPECT_EQ(pictures, 1) << row.call;
  }
}

}  // namespace
}  // namespace stampwise::test
