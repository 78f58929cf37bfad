#include <dirent.h>
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

int RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0 ? 0 : errno; }

}  // namespace stampwise::platform
