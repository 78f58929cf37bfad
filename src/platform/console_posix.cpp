#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "platform/console.hpp"
#include "platform/posix_io.hpp"

namespace stampwise::platform {

// Standard input and output are byte streams here already. A reader that
// goes away (`stampwise | head`) must make a write fail, so that the run
// takes its one path for output failures, not die of SIGPIPE half-way.
//
// A standard stream that was closed at start would hand its number to the
// first file the program opens, and the program's own messages would go
// into that file. Each closed one is held on the null device, opened the
// other way round, so that using it still fails as a closed one does.
void PrepareConsole() {
  std::signal(SIGPIPE, SIG_IGN);
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    int held = open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
    if (held >= 0 && held != fd) {
      dup2(held, fd);
      close(held);
    }
  }
}

struct ConsoleReader::Typed {};

ConsoleReader::ConsoleReader() = default;
ConsoleReader::~ConsoleReader() = default;

int ConsoleReader::Read(char* into, std::size_t room, std::size_t* got) {
  for (;;) {
    ssize_t n = read(STDIN_FILENO, into, room);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Failed();
    *got = static_cast<std::size_t>(n);
    return 0;
  }
}

int WriteStream(std::FILE* stream, std::string_view text) { return WriteAll(fileno(stream), text); }

bool IsInteractive(std::FILE* stream) { return isatty(fileno(stream)) == 1; }

}  // namespace stampwise::platform
