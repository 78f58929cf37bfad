// Fixed-width text: every text the program handles lives in one of these.
//
// A field of width W always holds exactly W single-byte characters. A shorter
// value is padded with blanks on the right, a longer one is cut after W
// characters. Positions are counted from 1, as the user counts them.
#ifndef STAMPWISE_CONSOLE_TEXT_FIELD_HPP
#define STAMPWISE_CONSOLE_TEXT_FIELD_HPP

#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string_view>

namespace stampwise {

template <int W>
class TextField {
  static_assert(W > 0, "a text field has at least one character");

 public:
  static constexpr int kWidth = W;

  TextField() { chars_.fill(' '); }
  explicit TextField(std::string_view value) { Assign(value); }

  // The first min(W, length) characters of the value, then blanks up to W.
  void Assign(std::string_view value) {
    std::size_t n = value.size() < static_cast<std::size_t>(W) ? value.size() : W;
    std::memmove(chars_.data(), value.data(), n);
    std::memset(chars_.data() + n, ' ', W - n);
  }

  // The pieces one after the other, assigned as by Assign. Every piece is
  // read before the field is written, so a piece of this very field yields
  // its old value.
  void Join(std::initializer_list<std::string_view> pieces) {
    std::array<char, W> joined;
    std::size_t n = 0;
    for (std::string_view piece : pieces) {
      std::size_t take = piece.size() < W - n ? piece.size() : W - n;
      std::memcpy(joined.data() + n, piece.data(), take);
      n += take;
    }
    Assign(std::string_view(joined.data(), n));
  }

  // Position of the last character that is not a blank; 0 when all blank.
  // Leading blanks count.
  int TrimmedLength() const {
    int n = W;
    // Eight at a time first: most of a name field is padding.
    constexpr std::uint64_t kBlanks = 0x2020202020202020ull;
    for (std::uint64_t w = 0; n >= 8; n -= 8) {
      std::memcpy(&w, chars_.data() + n - 8, 8);
      if (w != kBlanks) break;
    }
    while (n > 0 && chars_[n - 1] == ' ') --n;
    return n;
  }

  // Positions i to j; j == i - 1 gives the empty piece.
  std::string_view Piece(int i, int j) const {
    if (i < 1 || j > W || j < i - 1) return std::string_view();
    return std::string_view(chars_.data() + (i - 1), static_cast<std::size_t>(j - i + 1));
  }

  // Positions 1 to the trimmed length: the value as handed to the platform.
  std::string_view Trimmed() const { return Piece(1, TrimmedLength()); }

  std::string_view View() const { return std::string_view(chars_.data(), W); }

  // The character at position i (1-based).
  char At(int i) const { return chars_[static_cast<std::size_t>(i - 1)]; }

  // Writes c at position i (1-based); used by the stamp writer.
  void Set(int i, char c) { chars_[static_cast<std::size_t>(i - 1)] = c; }

  friend bool operator==(const TextField& a, const TextField& b) { return a.chars_ == b.chars_; }
  friend bool operator!=(const TextField& a, const TextField& b) { return !(a == b); }

 private:
  std::array<char, W> chars_;
};

// The widths that the program's fields use.
constexpr int kNameWidth = 50;   // FOLDER, COMMAND, PICNAME, NEWNAME
constexpr int kStampWidth = 19;  // STAMP

using NameField = TextField<kNameWidth>;
using StampField = TextField<kStampWidth>;

}  // namespace stampwise

#endif  // STAMPWISE_CONSOLE_TEXT_FIELD_HPP
