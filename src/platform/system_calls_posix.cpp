#include "platform/system_calls_posix.hpp"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include "platform/folder.hpp"
#include "platform/kept_listing.hpp"

namespace stampwise::platform {

int SystemCalls::RenameNoReplace(const char* from, const char* to) {
  return renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}
int SystemCalls::Link(const char* from, const char* to) { return link(from, to); }
int SystemCalls::Unlink(const char* path) { return unlink(path); }
int SystemCalls::CreateExclusive(const char* path) {
  return open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}
int SystemCalls::Close(int fd) { return close(fd); }
int SystemCalls::Fstat(int fd, struct stat* info) { return fstat(fd, info); }
int SystemCalls::Lstat(const char* path, struct stat* info) { return lstat(path, info); }
int SystemCalls::Rename(const char* from, const char* to) { return rename(from, to); }
int SystemCalls::ReadFolder(const std::string& folder,
                            const std::function<void(std::string_view)>& visit) {
  // The listing read this folder already, as it was at the start of the run.
  if (VisitKeptListing(folder, visit)) return 0;
  return ForEachEntry(folder, visit);
}

SystemCalls& SystemCalls::Real() {
  static SystemCalls real;
  return real;
}

}  // namespace stampwise::platform
