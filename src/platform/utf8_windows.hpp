// Names travel as UTF-8 inside the program; the Windows calls take UTF-16.
#ifndef STAMPWISE_PLATFORM_UTF8_WINDOWS_HPP
#define STAMPWISE_PLATFORM_UTF8_WINDOWS_HPP

#include <string>
#include <string_view>

namespace stampwise::platform {

std::wstring Widen(std::string_view utf8);

// False for a name that is not valid UTF-16 (NTFS allows unpaired
// surrogates): with a replacement character it would name another file.
bool Narrow(const wchar_t* utf16, std::string* utf8);

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_UTF8_WINDOWS_HPP
