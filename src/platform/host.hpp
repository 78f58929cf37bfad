// What a run asks of the system besides its disk and its console: the
// interrupts (Ctrl+C, SIGTERM, SIGHUP; on Windows also Ctrl+Break and the
// console window's close), and the time. One real implementation for each
// family of systems (host_posix.cpp, host_windows.cpp); tests stand in for
// it, so that they can raise an interrupt at any step and move the clock.
#ifndef STAMPWISE_PLATFORM_HOST_HPP
#define STAMPWISE_PLATFORM_HOST_HPP

#include <chrono>

namespace stampwise::platform {

class Host {
 public:
  using Clock = std::chrono::steady_clock;

  virtual ~Host() = default;

  // From now on an interrupt is only noted, so that the run can end its
  // step and say what it did; a second one ends the process at once. An
  // interrupt the program was started to ignore (nohup) stays ignored.
  virtual void HoldInterrupts() = 0;
  // Whether an interrupt came while they were held.
  virtual bool Interrupted() = 0;
  // The terminal or console window is gone, as a write to it has shown:
  // noted, while interrupts are held, as the hangup that its closing is.
  // A terminal fails the writes from the moment it is closed, before the
  // shell that owned it has passed its hangup on.
  virtual void NoteHangup() = 0;
  // Ends the process as the interrupt that came would have ended it: by its
  // signal (status 130 for Ctrl+C in a POSIX shell), or with the status of
  // an interrupted Windows console program.
  [[noreturn]] virtual void EndInterrupted() = 0;
  // Back to what each interrupt does to any program; one noted meanwhile
  // ends the process now.
  virtual void ReleaseInterrupts() = 0;

  // A clock that never goes back, for how long the renames take.
  virtual Clock::time_point Now() = 0;
};

// The system's own interrupts and clock.
class RealHost final : public Host {
 public:
  void HoldInterrupts() override;
  bool Interrupted() override;
  void NoteHangup() override;
  [[noreturn]] void EndInterrupted() override;
  void ReleaseInterrupts() override;
  Clock::time_point Now() override { return Clock::now(); }
};

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_HOST_HPP
