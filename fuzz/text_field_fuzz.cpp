// Text field operations: the width never changes, a join is the assign of
// its pieces one after the other, also when a piece is of the target itself,
// and the trimmed length points at the last non-blank.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "console/text_field.hpp"

using stampwise::TextField;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  if (size < 4) return 0;
  std::string_view data(reinterpret_cast<const char*>(bytes), size);
  std::size_t cut = bytes[0] % (size - 3) + 3;
  std::string_view first = data.substr(3, cut - 3);
  std::string_view second = data.substr(cut);

  TextField<19> field(first);
  if (field.View().size() != 19u) std::abort();
  if (field.View().substr(0, first.size() < 19 ? first.size() : 19) != first.substr(0, 19))
    std::abort();

  int length = field.TrimmedLength();
  if (length < 0 || length > 19) std::abort();
  if (length > 0 && field.At(length) == ' ') std::abort();
  for (int i = length + 1; i <= 19; ++i)
    if (field.At(i) != ' ') std::abort();

  // A join that reads a piece of its own target sees the old value.
  int i = bytes[1] % 20 + 1;
  int j = i - 1 + bytes[2] % (20 - i + 1);
  std::string piece(field.Piece(i, j));
  if (piece.size() != static_cast<std::size_t>(j) - static_cast<std::size_t>(i) + 1) std::abort();
  std::string joined = std::string(second) + piece + std::string(field.Trimmed());
  TextField<19> expected(joined);
  field.Join({second, field.Piece(i, j), field.Trimmed()});
  if (field != expected) std::abort();
  return 0;
}
