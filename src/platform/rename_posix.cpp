#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/case_index.hpp"
#include "platform/rename.hpp"

namespace stampwise::platform {

namespace {

std::string_view FolderOf(std::string_view path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string_view(".") : path.substr(0, slash);
}

std::string_view NameOf(std::string_view path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The kernel refuses RENAME_NOREPLACE on some file systems, and hard links on
// others (FAT and exFAT memory cards).
bool FlagRefused(int error) { return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP; }
bool LinkRefused(int error) { return error == EPERM || error == EOPNOTSUPP || error == ENOSYS; }

constexpr int kRefused = -2;  // this way is not supported here; try the next

int ExclusiveRename(const char* from, const char* to) {
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno == EEXIST) return kNameTaken;
  return FlagRefused(errno) ? kRefused : errno;
}

// Never replaces either: link() fails when the new name exists. Only an
// interruption between the two calls can leave the picture under both
// names; it is never left under none.
int LinkThenUnlink(const char* from, const char* to) {
  if (link(from, to) != 0) {
    if (errno == EEXIST) return kNameTaken;
    return LinkRefused(errno) ? kRefused : errno;
  }
  if (unlink(from) != 0) {
    int error = errno;
    unlink(to);  // the picture is still under its old name: keep just that one
    return error;
  }
  return 0;
}

// The last resort, for file systems that refuse both ways above. Only this
// way has a window: another process could take the new name between the
// check and the rename, and rename() would then replace it.
int CheckThenRename(const char* from, const char* to) {
  struct stat info;
  if (lstat(to, &info) == 0) return kNameTaken;
  if (errno != ENOENT) return errno;
  return rename(from, to) == 0 ? 0 : errno;
}

}  // namespace

struct Renamer::Impl {
  Method way;      // the way tried first
  bool fall_back;  // kAuto: move on to the next way for good once one is refused
  CaseIndex index;
  std::string from;
  std::string to;
};

Renamer::Renamer(Method method)
    : impl_(new Impl{method == Method::kAuto ? Method::kExclusiveRename : method,
                     method == Method::kAuto, {}, {}, {}}) {}
Renamer::~Renamer() = default;

int Renamer::Rename(std::string_view old_path, std::string_view new_path) {
  Impl& m = *impl_;
  if (m.index.Has(FolderOf(new_path), NameOf(new_path))) return kNameTaken;
  m.from.assign(old_path);
  m.to.assign(new_path);

  int status = kRefused;
  if (m.way == Method::kExclusiveRename) {
    status = ExclusiveRename(m.from.c_str(), m.to.c_str());
    if (status == kRefused && m.fall_back) m.way = Method::kLinkThenUnlink;
  }
  if (status == kRefused && m.way == Method::kLinkThenUnlink) {
    status = LinkThenUnlink(m.from.c_str(), m.to.c_str());
    if (status == kRefused && m.fall_back) m.way = Method::kCheckThenRename;
  }
  if (status == kRefused && m.way == Method::kCheckThenRename)
    status = CheckThenRename(m.from.c_str(), m.to.c_str());
  if (status == kRefused) status = EOPNOTSUPP;

  if (status == 0) {
    if (FolderOf(old_path) == FolderOf(new_path)) m.index.Remove(NameOf(old_path));
    m.index.Add(NameOf(new_path));
  }
  return status;
}


}  // namespace stampwise::platform
