#include "platform/utf16.hpp"

namespace stampwise::platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

void AppendUtf8(char32_t c, std::string* utf8) {
  if (c < 0x80) {
    utf8->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    utf8->push_back(static_cast<char>(0xC0 | (c >> 6)));
    utf8->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    utf8->push_back(static_cast<char>(0xE0 | (c >> 12)));
    utf8->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    utf8->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    utf8->push_back(static_cast<char>(0xF0 | (c >> 18)));
    utf8->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    utf8->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    utf8->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

void Utf16Decoder::Feed(const char16_t* units, std::size_t count, std::string* utf8) {
  for (std::size_t i = 0; i < count; ++i) {
    char16_t u = units[i];
    if (pending_ != 0) {
      if (IsLow(u)) {
        AppendUtf8(0x10000 + ((char32_t(pending_) - 0xD800) << 10) + (u - 0xDC00), utf8);
        pending_ = 0;
        continue;
      }
      AppendUtf8(kReplacement, utf8);
      pending_ = 0;
    }
    if (IsHigh(u)) {
      pending_ = u;
    } else {
      AppendUtf8(IsLow(u) ? kReplacement : char32_t(u), utf8);
    }
  }
}

void Utf16Decoder::Finish(std::string* utf8) {
  if (pending_ != 0) AppendUtf8(kReplacement, utf8);
  pending_ = 0;
}

}  // namespace stampwise::platform
