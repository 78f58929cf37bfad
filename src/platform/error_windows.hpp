// Windows error codes as the error numbers of <cerrno>, so that both builds
// report a failure with the same words (reason.hpp).
#ifndef STAMPWISE_PLATFORM_ERROR_WINDOWS_HPP
#define STAMPWISE_PLATFORM_ERROR_WINDOWS_HPP

namespace stampwise::platform {

int ErrnoFromWindows(unsigned long error);

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_ERROR_WINDOWS_HPP
