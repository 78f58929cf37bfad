// Names travel as UTF-8 inside the program; the Windows calls take UTF-16.
#ifndef STAMPWISE_PLATFORM_UTF8_WINDOWS_HPP
#define STAMPWISE_PLATFORM_UTF8_WINDOWS_HPP

#include <string>
#include <string_view>

namespace stampwise::platform {

std::wstring Widen(std::string_view utf8);
std::string Narrow(const wchar_t* utf16);

// The C library's error number for a Windows error code, so that both
// builds report a failure with the same number and the same words.
int ErrnoFromWindows(unsigned long error);

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_UTF8_WINDOWS_HPP
