#include "platform/rename.hpp"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "test_util.hpp"

namespace stampwise::platform {
namespace {

using test::Snapshot;
using test::TempDir;
using test::WriteFile;

// Every way of renaming must give the same guarantees, whichever one the
// file system lets the program use.
class RenameWays : public ::testing::TestWithParam<Renamer::Method> {};

TEST_P(RenameWays, RenamesOntoAFreeNameOnly) {
  TempDir dir;
  WriteFile(dir / "a (2).JPG", "picture a");
  WriteFile(dir / "taken.jpg", "picture t");
  Renamer renamer(GetParam());

  EXPECT_EQ(renamer.Rename(dir / "a (2).JPG", dir / "taken.jpg"), kNameTaken);
  EXPECT_EQ(Snapshot(dir.path()), (std::map<std::string, std::string>{
                                      {"a (2).JPG", "picture a"}, {"taken.jpg", "picture t"}}));

  EXPECT_EQ(renamer.Rename(dir / "a (2).JPG", dir / "free.jpg"), 0);
  EXPECT_EQ(Snapshot(dir.path()), (std::map<std::string, std::string>{
                                      {"free.jpg", "picture a"}, {"taken.jpg", "picture t"}}));
}

TEST_P(RenameWays, ANameInAnotherLetterCaseIsTaken) {
  TempDir dir;
  WriteFile(dir / "x (2).jpg", "x");
  WriteFile(dir / "y (2).jpg", "y");
  WriteFile(dir / "2015-05-03 10-20-31.JPG", "twin");
  Renamer renamer(GetParam());
  EXPECT_EQ(renamer.Rename(dir / "x (2).jpg", dir / "2015-05-03 10-20-31.jpg"), kNameTaken);
  // A name the program itself gave is taken for the next picture as well,
  // and a name it gave up is free again.
  EXPECT_EQ(renamer.Rename(dir / "x (2).jpg", dir / "2015-05-03 10-20-32.jpg"), 0);
  EXPECT_EQ(renamer.Rename(dir / "y (2).jpg", dir / "2015-05-03 10-20-32.JPG"), kNameTaken);
  EXPECT_EQ(renamer.Rename(dir / "2015-05-03 10-20-32.jpg", dir / "z.jpg"), 0);
  EXPECT_EQ(renamer.Rename(dir / "y (2).jpg", dir / "2015-05-03 10-20-32.JPG"), 0);
  EXPECT_EQ(Snapshot(dir.path()).size(), 3u);
}

TEST_P(RenameWays, OtherFailuresCarryTheSystemsReason) {
  TempDir dir;
  Renamer renamer(GetParam());
  int status = renamer.Rename(dir / "missing (2).jpg", dir / "new.jpg");
  EXPECT_GT(status, 0);
  EXPECT_FALSE(DescribeRenameStatus(status).empty());
  EXPECT_NE(DescribeRenameStatus(status), DescribeRenameStatus(kNameTaken));
  EXPECT_TRUE(Snapshot(dir.path()).empty());
}

INSTANTIATE_TEST_SUITE_P(EachWay, RenameWays,
                         ::testing::Values(Renamer::Method::kAuto,
                                           Renamer::Method::kExclusiveRename,
                                           Renamer::Method::kLinkThenUnlink,
                                           Renamer::Method::kCheckThenRename));

}  // namespace
}  // namespace stampwise::platform
