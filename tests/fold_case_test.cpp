#include "list/fold_case.hpp"

#include <gtest/gtest.h>

#include <string>

namespace stampwise {
namespace {

// Names are folded eight bytes at a time: every byte value, in every
// place, beside the letters' edges, must fold as it does alone.
TEST(FoldCase, EightAtOnceFoldsAsOneAtATime) {
  for (int b = 0; b < 256 * 8; ++b) {
    char bytes[9] = {'a', 'Z', '{', '`', '@', 'z', static_cast<char>(0xE1), 'A', 'q'};
    bytes[b % 8] = static_cast<char>(b / 8);
    char one[9], eight[9];
    for (int i = 0; i < 9; ++i) one[i] = FoldByte(bytes[i]);
    FoldBytes(bytes, 9, eight);
    EXPECT_EQ(std::string(one, 9), std::string(eight, 9)) << "byte " << b / 8 << " at " << b % 8;
  }
}

}  // namespace
}  // namespace stampwise
