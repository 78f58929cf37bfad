// The console streams: bytes in and bytes out, so that the program's own
// CR LF line ends and line rules are the only ones applied. Where standard
// input or output is a Windows console, its text is UTF-16 at the boundary
// and UTF-8 inside, whatever the console's code pages.
#ifndef STAMPWISE_PLATFORM_CONSOLE_HPP
#define STAMPWISE_PLATFORM_CONSOLE_HPP

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string_view>

namespace stampwise::platform {

// Once, before anything is read or written.
void PrepareConsole();

// Standard input. Each read hands over what has arrived, never waiting for
// more than one typed line.
class ConsoleReader {
 public:
  ConsoleReader();
  ~ConsoleReader();
  ConsoleReader(const ConsoleReader&) = delete;
  ConsoleReader& operator=(const ConsoleReader&) = delete;

  // Up to `room` bytes into `into`, *got of them (0 at the end of input).
  // 0, or the error number.
  int Read(char* into, std::size_t room, std::size_t* got);

 private:
  struct Typed;  // what a Windows console typed, turned into UTF-8
  std::unique_ptr<Typed> typed_;
};

// Writes all of `text` to `stream` (standard output, standard error, or a
// file in tests), unbuffered. 0, or the error number.
int WriteStream(std::FILE* stream, std::string_view text);

// Whether `stream` is a terminal or a console window, where a person
// watches each line as it comes, rather than a pipe or a file.
bool IsInteractive(std::FILE* stream);

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_CONSOLE_HPP
