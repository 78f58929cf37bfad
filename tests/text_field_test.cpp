#include "console/text_field.hpp"

#include <gtest/gtest.h>

#include <string>

namespace stampwise {
namespace {

TEST(TextFieldAssign, PadsWithBlanksAndCutsAtTheWidth) {
  const std::string exact = "Enter folder name containing Reconyx relabeld jpg files, then ENTER";
  ASSERT_EQ(exact.size(), 67u);
  EXPECT_EQ(TextField<67>(exact).View(), exact);
  EXPECT_EQ(TextField<16>("del AllFiles.txt").View(), "del AllFiles.txt");
  EXPECT_EQ(TextField<6>("ab").View(), "ab    ");
  EXPECT_EQ(TextField<3>("abcdef").View(), "abc");

  TextField<5> field("xxxxx");
  field.Assign("");
  EXPECT_EQ(field.View(), "     ");
}

TEST(TextFieldJoin, CutsTheJoinedValueAtTheWidth) {
  NameField command;
  const std::string folder(30, 'F');
  command.Join({"dir /b ", folder, " > AllFiles.txt"});
  EXPECT_EQ(command.TrimmedLength(), 50);
  EXPECT_EQ(command.View().substr(38), "> AllFiles.t");
}

TEST(TextFieldJoin, ReadsPiecesOfItsOwnTargetBeforeWriting) {
  NameField name("2015-05-03 10-20-30 (2).JPG");
  name.Join({"Cam1", "/", name.Piece(1, name.TrimmedLength())});
  EXPECT_EQ(name.Trimmed(), "Cam1/2015-05-03 10-20-30 (2).JPG");

  // A piece that the write would shift over must still give its old value.
  TextField<8> shifted("abcd");
  shifted.Join({shifted.Piece(3, 4), shifted.Piece(1, 4)});
  EXPECT_EQ(shifted.View(), "cdabcd  ");
}

TEST(TextFieldLengthAndPieces, CountToTheLastNonBlank) {
  EXPECT_EQ(NameField().TrimmedLength(), 0);
  EXPECT_EQ(NameField(std::string(50, ' ')).TrimmedLength(), 0);
  EXPECT_EQ(NameField("  Cam1  ").TrimmedLength(), 6);  // leading blanks count
  EXPECT_EQ(NameField(std::string(50, 'x')).TrimmedLength(), 50);

  StampField stamp("2015-05-03 10-20-30");
  EXPECT_EQ(stamp.Piece(6, 7), "05");
  EXPECT_EQ(stamp.Piece(4, 3), "");  // a piece of length 0
  EXPECT_EQ(stamp.At(19), '0');
  EXPECT_EQ(stamp.Piece(18, 19), "30");
  EXPECT_TRUE(stamp == StampField("2015-05-03 10-20-30"));
  EXPECT_NE(stamp, StampField("2015-05-03 10-20-31"));
}

}  // namespace
}  // namespace stampwise
