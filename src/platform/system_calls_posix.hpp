// The system calls that the rename makes, behind one small interface, so
// that tests can make any one of them fail as a file system would.
#ifndef STAMPWISE_PLATFORM_SYSTEM_CALLS_POSIX_HPP
#define STAMPWISE_PLATFORM_SYSTEM_CALLS_POSIX_HPP

#include <sys/stat.h>

#include <functional>
#include <string>
#include <string_view>

namespace stampwise::platform {

// Each call returns what the system call returns and leaves errno as it does.
class SystemCalls {
 public:
  virtual ~SystemCalls() = default;
  virtual int RenameNoReplace(const char* from, const char* to);
  virtual int Link(const char* from, const char* to);
  virtual int Unlink(const char* path);
  // Creates `path` empty, failing when any entry (a link too) is there.
  virtual int CreateExclusive(const char* path);
  virtual int Close(int fd);
  virtual int Fstat(int fd, struct stat* info);
  virtual int Lstat(const char* path, struct stat* info);
  // The rename that replaces: only ever over the program's own reservation.
  virtual int Rename(const char* from, const char* to);
  // The folder read of folder.hpp: 0, or the reason it was not read whole.
  virtual int ReadFolder(const std::string& folder,
                         const std::function<void(std::string_view)>& visit);

  static SystemCalls& Real();
};

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_SYSTEM_CALLS_POSIX_HPP
