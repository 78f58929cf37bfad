// The interrupts as console control events: Ctrl+C, Ctrl+Break and the
// console window's close.
#include <windows.h>

#include <atomic>

#include "platform/host.hpp"
#include "platform/host_windows.hpp"

namespace stampwise::platform {

namespace {

// The status of a console program that Ctrl+C ended.
constexpr UINT kInterruptedStatus = 0xC000013A;  // STATUS_CONTROL_C_EXIT

std::atomic<bool> holding{false};
std::atomic<bool> noted{false};
HANDLE came = nullptr;   // set once an interrupt is noted
HANDLE ended = nullptr;  // set once the run has ended its step and said so

// Runs on a thread of its own. Windows ends the process once the handler
// of a window's close returns, or 5 seconds after the event: so it waits
// for the run to end its step first.
BOOL WINAPI Note(DWORD event) {
  if (!holding) return FALSE;
  if (noted.exchange(true)) ExitProcess(kInterruptedStatus);
  SetEvent(came);
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
    WaitForSingleObject(ended, 4500);
  return TRUE;
}

}  // namespace

void RealHost::HoldInterrupts() {
  if (ended == nullptr) {
    came = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  }
  holding = true;
  SetConsoleCtrlHandler(Note, TRUE);
}

bool RealHost::Interrupted() { return noted; }

// A console window's close comes as CTRL_CLOSE_EVENT, which Note notes.
void RealHost::NoteHangup() {
  if (holding) noted = true;
}

void RealHost::EndInterrupted() {
  if (ended != nullptr) SetEvent(ended);
  ExitProcess(kInterruptedStatus);
}

void RealHost::ReleaseInterrupts() {
  holding = false;
  if (noted) EndInterrupted();
}

void AwaitInterrupt(unsigned long milliseconds) {
  if (holding && !noted && came != nullptr) WaitForSingleObject(came, milliseconds);
}

}  // namespace stampwise::platform
