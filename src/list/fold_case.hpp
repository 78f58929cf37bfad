// Letter case as the home platform's file names ignore it: two names that
// differ only in the case of ASCII letters are one name there.
#ifndef STAMPWISE_LIST_FOLD_CASE_HPP
#define STAMPWISE_LIST_FOLD_CASE_HPP

#include <cstdint>
#include <cstring>
#include <string_view>

namespace stampwise {

inline char FoldByte(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// Eight bytes at once, each as FoldByte folds it: a byte's high bit marks
// it a lower-case letter, and that mark, moved to 0x20, is taken away.
inline std::uint64_t FoldWord(std::uint64_t w) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  std::uint64_t low7 = w & (0x7f * kOnes);
  std::uint64_t from_a = low7 + (0x80 - 'a') * kOnes;  // high bit: at least 'a'
  std::uint64_t past_z = low7 + (0x7f - 'z') * kOnes;  // high bit: past 'z'
  std::uint64_t lower = from_a & ~past_z & ~w & (0x80 * kOnes);
  return w - (lower >> 2);
}

// `n` bytes from `in` folded into `out`, eight at a time where it can.
inline void FoldBytes(const char* in, std::size_t n, char* out) {
  std::size_t i = 0;
  for (std::uint64_t w = 0; i + 8 <= n; i += 8) {
    std::memcpy(&w, in + i, 8);
    w = FoldWord(w);
    std::memcpy(out + i, &w, 8);
  }
  for (; i < n; ++i) out[i] = FoldByte(in[i]);
}

inline bool FoldedEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldByte(a[i]) != FoldByte(b[i])) return false;
  return true;
}

}  // namespace stampwise

#endif  // STAMPWISE_LIST_FOLD_CASE_HPP
