#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

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

namespace {

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};
volatile std::sig_atomic_t noted = 0;

// A second interrupt ends the process at once, as if none were held.
extern "C" void Note(int signal) {
  if (noted != 0) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  noted = signal;
}

}  // namespace

// SA_RESTART: no call of the run's is cut short; the run asks between steps.
// An interrupt the program was started to ignore (nohup) stays ignored.
void HoldInterrupts() {
  for (int signal : kInterrupts) {
    struct sigaction before {};
    if (sigaction(signal, nullptr, &before) != 0 || before.sa_handler == SIG_IGN) continue;
    struct sigaction held {};
    held.sa_handler = Note;
    held.sa_flags = SA_RESTART;
    sigemptyset(&held.sa_mask);
    sigaction(signal, &held, nullptr);
  }
}

bool Interrupted() { return noted != 0; }

void EndInterrupted() {
  int signal = noted;
  std::signal(signal, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  std::raise(signal);
  std::_Exit(128 + signal);  // only where the signal did not end it
}

void ReleaseInterrupts() {
  for (int signal : kInterrupts) {
    struct sigaction before {};
    if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler == Note)
      std::signal(signal, SIG_DFL);
  }
  if (noted != 0) EndInterrupted();
}

}  // namespace stampwise::platform
