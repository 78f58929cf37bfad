// Letter case as the home platform's file names ignore it: two names that
// differ only in the case of ASCII letters are one name there.
#ifndef STAMPWISE_LIST_FOLD_CASE_HPP
#define STAMPWISE_LIST_FOLD_CASE_HPP

#include <cstddef>
#include <string_view>

namespace stampwise {

inline char FoldByte(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// `n` bytes from `in` folded into `out`.
inline void FoldBytes(const char* in, std::size_t n, char* out) {
  for (std::size_t i = 0; i < n; ++i) out[i] = FoldByte(in[i]);
}

inline bool FoldedEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldByte(a[i]) != FoldByte(b[i])) return false;
  return true;
}

}  // namespace stampwise

#endif  // STAMPWISE_LIST_FOLD_CASE_HPP
