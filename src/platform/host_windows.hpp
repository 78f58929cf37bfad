// What the console's writes need to know of the interrupts on Windows.
#ifndef STAMPWISE_PLATFORM_HOST_WINDOWS_HPP
#define STAMPWISE_PLATFORM_HOST_WINDOWS_HPP

namespace stampwise::platform {

// While interrupts are held and none has come yet, waits up to
// `milliseconds` for one: Ctrl+C ends the reader at the other end of a pipe
// (`stampwise | more`) before Windows has started this process's own
// handler, so a write that failed for that reason is followed by it a
// moment later.
void AwaitInterrupt(unsigned long milliseconds);

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_HOST_WINDOWS_HPP
