#include "list/listing_order.hpp"

#include <algorithm>
#include <cstring>

#include "list/fold_case.hpp"

namespace stampwise {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Eight key bytes as a number that orders as they do.
std::uint64_t BigEndian(const unsigned char* bytes) {
  std::uint64_t w = 0;
  for (int i = 0; i < 8; ++i) w |= std::uint64_t{bytes[i]} << (56 - 8 * i);
  return w;
}

// The key of the run of digits that begins at *p, moved past it: its count
// of digits without leading zeros ('9' and a count byte from nine on), the
// digits (no more than fit before `limit`), the number of leading zeros.
// `out` has room for two bytes past `limit`.
void KeyOfRun(const char** p, const char* end, char** out, const char* limit) {
  const char* run = *p;
  while (*p < end && **p == '0') ++*p;
  const char* digits = *p;
  while (*p < end && IsDigit(**p)) ++*p;
  std::size_t count = static_cast<std::size_t>(*p - digits);
  std::size_t zeros = static_cast<std::size_t>(digits - run);
  if (count < 9) {
    *(*out)++ = static_cast<char>('0' + count);
  } else {
    *(*out)++ = '9';
    *(*out)++ = static_cast<char>(count < 255 ? count : 255);  // names have at most 255
  }
  for (const char* d = digits; d < *p && *out < limit; ++d) *(*out)++ = *d;
  if (*out < limit) *(*out)++ = static_cast<char>(zeros < 255 ? zeros : 255);
}

}  // namespace

void KeyHead(std::string_view name, std::uint64_t head[kHeadWords]) {
  // Room past the 24 bytes for the last run's count and zeros bytes.
  unsigned char bytes[8 * kHeadWords + 3];
  char* out = reinterpret_cast<char*>(bytes);
  char* limit = out + 8 * kHeadWords;
  const char* p = name.data();
  const char* end = p + name.size();
  while (p < end && out < limit) {
    if (IsDigit(*p))
      KeyOfRun(&p, end, &out, limit);
    else
      *out++ = FoldByte(*p++);
  }
  if (out < limit) std::memset(out, 0, static_cast<std::size_t>(limit - out));
  for (std::size_t w = 0; w < kHeadWords; ++w) head[w] = BigEndian(bytes + 8 * w);
}

std::size_t SharedHead(std::string_view first, std::string_view name, std::size_t limit) {
  std::size_t n = 0;
  limit = std::min({limit, first.size(), name.size()});
  while (n < limit && FoldByte(name[n]) == FoldByte(first[n])) ++n;
  while (n > 0 && IsDigit(first[n - 1])) --n;
  return n;
}

namespace {

int Sign(int order) { return order < 0 ? -1 : (order > 0 ? 1 : 0); }

// The digit runs that begin at a[*i] and b[*j], each moved past its run:
// by value (fewer significant digits first, then the digits), then the run
// with fewer leading zeros first. 0 where they tie.
int CompareDigitRuns(std::string_view a, std::size_t* i, std::string_view b, std::size_t* j) {
  std::size_t ri = *i, rj = *j;
  while (*i < a.size() && IsDigit(a[*i])) ++*i;
  while (*j < b.size() && IsDigit(b[*j])) ++*j;
  std::size_t zi = ri, zj = rj;
  while (zi < *i && a[zi] == '0') ++zi;
  while (zj < *j && b[zj] == '0') ++zj;
  std::size_t di = std::min<std::size_t>(*i - zi, 255), dj = std::min<std::size_t>(*j - zj, 255);
  if (di != dj) return di < dj ? -1 : 1;
  if (int order = a.substr(zi, *i - zi).compare(b.substr(zj, *j - zj))) return Sign(order);
  std::size_t za = std::min<std::size_t>(zi - ri, 255), zb = std::min<std::size_t>(zj - rj, 255);
  if (za != zb) return za < zb ? -1 : 1;
  return 0;
}

// A character against another: a digit as the lowest digit would, any
// other by its upper-case byte.
int CompareCharacters(char a, char b) {
  auto x = static_cast<unsigned char>(IsDigit(a) ? '0' : FoldByte(a));
  auto y = static_cast<unsigned char>(IsDigit(b) ? '0' : FoldByte(b));
  return x == y ? 0 : (x < y ? -1 : 1);
}

}  // namespace

int CompareForListing(std::string_view a, std::string_view b, std::size_t skip) {
  // Run by run: a run of digits by its value, then the run with fewer
  // leading zeros first; a digit against any other character as the lowest
  // digit would, since all digits stand on one side of it; any other
  // character by its upper-case byte. Then the bytes themselves.
  std::size_t i = skip, j = skip;
  while (i < a.size() && j < b.size()) {
    int order = IsDigit(a[i]) && IsDigit(b[j]) ? CompareDigitRuns(a, &i, b, &j)
                                               : CompareCharacters(a[i++], b[j++]);
    if (order != 0) return order;
  }
  if (i < a.size() || j < b.size()) return i < a.size() ? 1 : -1;
  return Sign(a.compare(b));
}

}  // namespace stampwise
