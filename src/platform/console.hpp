// Puts the console streams into the form the program expects: bytes in and
// bytes out, so that the program's own CR LF line ends and line rules are
// the only ones applied.
#ifndef STAMPWISE_PLATFORM_CONSOLE_HPP
#define STAMPWISE_PLATFORM_CONSOLE_HPP

namespace stampwise::platform {

void PrepareConsole();

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_CONSOLE_HPP
