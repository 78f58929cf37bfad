#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "platform/console.hpp"

namespace stampwise::platform {

// Standard input and output are byte streams here already. A reader that
// goes away (`stampwise | head`) must make a write fail, so that the run
// takes its one path for output failures, not die of SIGPIPE half-way.
void PrepareConsole() { std::signal(SIGPIPE, SIG_IGN); }

struct ConsoleReader::Typed {};

ConsoleReader::ConsoleReader() = default;
ConsoleReader::~ConsoleReader() = default;

int ConsoleReader::Read(char* into, std::size_t room, std::size_t* got) {
  for (;;) {
    ssize_t n = read(STDIN_FILENO, into, room);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno != 0 ? errno : EIO;
    *got = static_cast<std::size_t>(n);
    return 0;
  }
}

int WriteStream(std::FILE* stream, std::string_view text) {
  int fd = fileno(stream);
  while (!text.empty()) {
    ssize_t n = write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

}  // namespace stampwise::platform
