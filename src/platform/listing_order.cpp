#include "platform/listing_order.hpp"

#include "platform/fold_case.hpp"

namespace stampwise::platform {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A run of digits as: '0' (sorts against other characters as any digit
// does, since folding never makes a digit), the number of digits without
// leading zeros, those digits, and the number of leading zeros.
void AppendRun(std::string_view run, std::string* key) {
  std::size_t zeros = 0;
  while (zeros < run.size() && run[zeros] == '0') ++zeros;
  std::string_view digits = run.substr(zeros);
  // A file name has at most 255 characters: the counts fit a byte.
  key->push_back('0');
  key->push_back(static_cast<char>(digits.size() < 255 ? digits.size() : 255));
  key->append(digits);
  key->push_back(static_cast<char>(zeros < 255 ? zeros : 255));
}

}  // namespace

void AppendOrderKey(std::string_view name, std::string* key) {
  std::size_t i = 0;
  while (i < name.size()) {
    if (!IsDigit(name[i])) {
      key->push_back(FoldByte(name[i++]));
      continue;
    }
    std::size_t start = i;
    while (i < name.size() && IsDigit(name[i])) ++i;
    AppendRun(name.substr(start, i - start), key);
  }
}

int CompareForListing(std::string_view a, std::string_view b) {
  std::string ka, kb;
  AppendOrderKey(a, &ka);
  AppendOrderKey(b, &kb);
  int order = ka.compare(kb);
  if (order == 0) order = a.compare(b);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

}  // namespace stampwise::platform
