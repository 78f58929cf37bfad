// What every POSIX file of the platform layer shares: the one rule for
// errors (the error number that the call that just failed left, or EIO
// where it left none), a write of all of some bytes, and the flush that
// each system gives in its own file.
#ifndef STAMPWISE_PLATFORM_POSIX_IO_HPP
#define STAMPWISE_PLATFORM_POSIX_IO_HPP

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <string>
#include <string_view>

namespace stampwise::platform {

inline int Failed() { return errno != 0 ? errno : EIO; }

// Writes an open file or folder to the disk, and the disk's own cache:
// fsync on Linux; a system whose fsync stops at the drive's cache has its
// own call (macOS: fcntl F_FULLFSYNC). In disk_<system>.cpp; 0 or -1, as
// fsync.
int FlushFile(int fd);

// 0 for a call that returned 0, its error otherwise.
inline int Status(int result) { return result == 0 ? 0 : Failed(); }

// Opens `folder`, hands it to `call` (FlushFile, syncfs), and closes it: 0, or
// the error of the open or the call.
template <typename Call>
int OnFolder(const std::string& folder, Call call) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Failed();
  int error = call(fd) == 0 ? 0 : Failed();
  close(fd);
  return error;
}

// Writes all of `bytes` to `fd`, going on after a signal. 0, or the error.
inline int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? Failed() : EIO;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_POSIX_IO_HPP
