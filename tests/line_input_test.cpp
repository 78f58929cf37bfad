#include "console/line_input.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fakes.hpp"
#include "test_util.hpp"

namespace stampwise {
namespace {

using test::TempDir;
using test::WriteFile;

// The file at `path`, held open as the listing holds its list; what it
// holds is not checked on reading it back.
struct HeldList {
  explicit HeldList(const std::string& path) { EXPECT_EQ(disk.OpenExisting(path, &held.file), 0); }
  ~HeldList() { (void)disk.Close(held.file); }
  platform::RealDisk disk;
  platform::HeldFile held{true, 0, -1, 0};
};

TEST(LineInput, CutsPadsAndKeepsTheLineRules) {
  TempDir dir;
  std::string path = dir / "AllFiles.txt";
  WriteFile(path, std::string(60, 'a') + "\r\n" +  // too long: cut, rest dropped
                      "short\r\n" +                // CR LF: the CR is not data
                      "in\rside\n" +               // a CR elsewhere is data
                      "\n" +                       // an empty line
                      "end\r\r\n" +                // only the CR right before LF goes
                      "last");                     // no line feed: still a line
  HeldList file(path);
  ListFileInput list(file.disk, file.held);
  NameField field;
  EXPECT_EQ(list.ReadLine(field), 60);
  EXPECT_EQ(field.View(), std::string(50, 'a'));
  EXPECT_EQ(list.ReadLine(field), 5);
  EXPECT_EQ(field.Trimmed(), "short");
  EXPECT_EQ(field.TrimmedLength(), 5);
  list.ReadLine(field);
  EXPECT_EQ(field.Trimmed(), "in\rside");
  list.ReadLine(field);
  EXPECT_EQ(field.TrimmedLength(), 0);
  list.ReadLine(field);
  EXPECT_EQ(field.Trimmed(), "end\r");
  EXPECT_TRUE(list.SkipLine());
  EXPECT_FALSE(list.SkipLine());
}

TEST(LineInput, ExactWidthLineWithCrLfLosesOnlyTheCr) {
  TempDir dir;
  std::string path = dir / "list";
  WriteFile(path, std::string(50, 'b') + "\r\n" + std::string(49, 'c') + "\r\r\n");
  HeldList file(path);
  ListFileInput list(file.disk, file.held);
  NameField field;
  EXPECT_EQ(list.ReadLine(field), 50);
  EXPECT_EQ(field.View(), std::string(50, 'b'));
  EXPECT_EQ(list.ReadLine(field), 50);
  EXPECT_EQ(field.View(), std::string(49, 'c') + "\r");
}

// The list file is read in blocks of 64 KiB: a line inside one block and a
// line across two, with its CR LF split, must read alike.
TEST(LineInput, LinesInsideAndAcrossBlocksReadAlike) {
  TempDir dir;
  std::string path = dir / "list";
  std::string head(5000, 'h');  // longer than the head a line keeps
  std::string filler(65536 - head.size() - 2 - 2 - 4, 'f');
  WriteFile(path, head + "\r\n" + filler + "\r\n" + "abc\r" + "\n" + "abc\r\n");
  HeldList file(path);
  ListFileInput list(file.disk, file.held);
  NameField field;
  EXPECT_EQ(list.ReadLine(field), 5000);
  EXPECT_EQ(list.LastLine(), head.substr(0, LineInput::kLineKept));
  EXPECT_TRUE(list.SkipLine());
  for (int i = 0; i < 2; ++i) {  // the CR ends the first block, the LF begins the next
    EXPECT_EQ(list.ReadLine(field), 3);
    EXPECT_EQ(list.LastLine(), "abc");
  }
  EXPECT_FALSE(list.SkipLine());
}

// A held list file must give back what was written into it: a FUSE driver
// that reads back NUL bytes would leave the run with nothing to rename and
// a closing line that says it is done.
TEST(ListFile, AHeldFileThatReadsBackOtherBytesEndsTheRun) {
  struct ReadsNul : test::FakeDisk {
    bool nul = false;
    int ReadAt(platform::File file, std::uint64_t offset, char* into, std::size_t room,
               std::size_t* got) override {
      int error = FakeDisk::ReadAt(file, offset, into, room, got);
      if (nul) std::fill(into, into + *got, '\0');
      return error;
    }
  };
  for (bool nul : {false, true}) {
    ReadsNul disk;
    disk.nul = nul;
    disk.Put("AllFiles.txt", "a (2).jpg\r\nb (2).jpg\r\n");
    platform::HeldFile held{true, 0, 2, 22};
    ASSERT_EQ(disk.OpenExisting("AllFiles.txt", &held.file), 0);
    ListFileInput list(disk, held);
    auto count = [&] {
      while (list.SkipLine()) {
      }
      list.CheckReadBack();
      std::exit(0);
    };
    if (nul)
      EXPECT_EXIT(count(), ::testing::ExitedWithCode(127),
                  "error 5 in formatted read on unit 1.*\n.*unit 1 is .*AllFiles.txt");
    else
      EXPECT_EXIT(count(), ::testing::ExitedWithCode(0), "");
    (void)disk.Close(held.file);
  }
}

}  // namespace
}  // namespace stampwise
