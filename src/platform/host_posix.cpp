// The interrupts as POSIX signals: SIGINT, SIGTERM and SIGHUP.
#include <signal.h>

#include <csignal>
#include <cstdlib>

#include "platform/host.hpp"

namespace stampwise::platform {

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
void RealHost::HoldInterrupts() {
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

bool RealHost::Interrupted() { return noted != 0; }

void RealHost::NoteHangup() {
  struct sigaction now {};
  if (noted == 0 && sigaction(SIGHUP, nullptr, &now) == 0 && now.sa_handler == Note) noted = SIGHUP;
}

void RealHost::EndInterrupted() {
  int signal = noted;
  std::signal(signal, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  std::raise(signal);
  std::_Exit(128 + signal);  // only where the signal did not end it
}

void RealHost::ReleaseInterrupts() {
  for (int signal : kInterrupts) {
    struct sigaction before {};
    if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler == Note)
      std::signal(signal, SIG_DFL);
  }
  if (noted != 0) EndInterrupted();
}

}  // namespace stampwise::platform
