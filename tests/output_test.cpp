#include "console/output.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "test_util.hpp"

namespace stampwise {
namespace {

using test::Written;

TEST(OutputRecords, FixedWidthRightAlignsOrCutsEachValue) {
  std::string folder(30, 'F');
  EXPECT_EQ(Written([&](OutputUnit& out) {
              out.FixedRecord({{folder, 50}});
            }),
            std::string(20, ' ') + folder + "\r\n");
  EXPECT_EQ(Written([](OutputUnit& out) { out.FixedRecord({{"abcdef", 3}}); }), "abc\r\n");
  EXPECT_EQ(Written([](OutputUnit& out) {
              out.FixedRecord({{"Successfully renamed ", 21}, {"", 50}});
            }),
            "Successfully renamed " + std::string(50, ' ') + "\r\n");
}

TEST(OutputRecords, ListStyleKeepsTheValueAndItsTrailingBlanks) {
  std::string value(34, 'v');
  std::string written = Written([&](OutputUnit& out) {
    out.ListRecord(value);
    out.ListRecord("x  ");
    out.ListRecord("");
    out.EmptyRecord();
  });
  EXPECT_EQ(written, " " + value + "\r\n" + " x  \r\n" + " \r\n" + "\r\n");
}

}  // namespace
}  // namespace stampwise
