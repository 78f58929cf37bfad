// The console streams: bytes in and bytes out, so that the program's own
// CR LF line ends and line rules are the only ones applied. Where standard
// input or output is a Windows console, its text is UTF-16 at the boundary
// and UTF-8 inside, whatever the console's code pages.
#ifndef STAMPWISE_PLATFORM_CONSOLE_HPP
#define STAMPWISE_PLATFORM_CONSOLE_HPP

#include <cstdio>
#include <string_view>

namespace stampwise::platform {

// Once, before anything is read or written.
void PrepareConsole();

// The next byte of standard input; EOF at its end, kReadFailed when the
// read fails (errno says why).
constexpr int kReadFailed = -2;
int ReadConsoleByte();

// Writes all of `text` to `stream` (standard output, standard error, or a
// file in tests), unbuffered. 0, or the error number.
int WriteStream(std::FILE* stream, std::string_view text);

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_CONSOLE_HPP
