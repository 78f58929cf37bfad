#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/folder.hpp"

namespace stampwise::platform {

int ForEachEntry(const std::string& folder, const std::function<void(std::string_view)>& visit) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return errno;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir);
    if (entry == nullptr) break;
    // Names that begin with a dot are hidden here, and "." and ".." with them.
    if (entry->d_name[0] == '.') continue;
    visit(entry->d_name);
  }
  int error = errno;
  closedir(dir);
  return error;
}

std::size_t FolderSize(const std::string& folder) {
  struct stat info;
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_size < 0) return 0;
  return static_cast<std::size_t>(info.st_size);
}

int RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0 ? 0 : errno; }

std::FILE* CreateNewFile(const std::string& path, int* error) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  std::FILE* file = fd < 0 ? nullptr : fdopen(fd, "wb");
  if (file == nullptr) {
    *error = errno;
    if (fd >= 0) close(fd);
  }
  return file;
}

int ReplaceEntry(const std::string& from, const std::string& to) {
  return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

unsigned long ProcessNumber() { return static_cast<unsigned long>(getpid()); }

}  // namespace stampwise::platform
