#include "platform/utf8_windows.hpp"

#include <windows.h>

namespace stampwise::platform {

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
  return wide;
}

bool Narrow(const wchar_t* utf16, std::string* utf8) {
  utf8->clear();
  int n =
      WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, utf16, -1, nullptr, 0, nullptr, nullptr);
  if (n == 0) return false;
  utf8->resize(static_cast<std::size_t>(n));
  WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, utf16, -1, &(*utf8)[0], n, nullptr, nullptr);
  utf8->resize(static_cast<std::size_t>(n - 1));
  return true;
}

}  // namespace stampwise::platform
