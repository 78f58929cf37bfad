// Letter case as the home platform's file names ignore it: two names that
// differ only in the case of ASCII letters are one name there.
#ifndef STAMPWISE_PLATFORM_FOLD_CASE_HPP
#define STAMPWISE_PLATFORM_FOLD_CASE_HPP

#include <string>
#include <string_view>

namespace stampwise::platform {

inline char FoldByte(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// Writes the upper-case form of `name` into `folded`, reusing its storage.
inline void FoldInto(std::string_view name, std::string* folded) {
  folded->assign(name);
  for (char& c : *folded) c = FoldByte(c);
}

// Compares as upper-case bytes: negative, 0 or positive.
inline int FoldedCompare(std::string_view a, std::string_view b) {
  std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(FoldByte(a[i]));
    unsigned char y = static_cast<unsigned char>(FoldByte(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

inline bool FoldedEqual(std::string_view a, std::string_view b) {
  return a.size() == b.size() && FoldedCompare(a, b) == 0;
}

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_FOLD_CASE_HPP
