// What the file system offers on Linux alone: renameat2, the kind of file
// system from statfs, and syncfs. The rest is in disk_posix.cpp.
#include <fcntl.h>
#include <linux/magic.h>
#include <stdio.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>

#include "platform/disk.hpp"
#include "platform/posix_io.hpp"

namespace stampwise::platform {

int RealDisk::RenameNoReplace(const std::string& from, const std::string& to) {
  return Status(renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE));
}

int RealDisk::Exchange(const std::string& a, const std::string& b) {
  return Status(renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE));
}

FileSystemKind RealDisk::KindOf(const std::string& folder) {
  constexpr long kNtfs3Magic = 0x7366746e;  // "ntfs": <linux/magic.h> does not name it
  struct statfs info {};
  if (statfs(folder.c_str(), &info) != 0) return FileSystemKind::kUnknown;
  switch (static_cast<long>(info.f_type)) {
    case MSDOS_SUPER_MAGIC: return FileSystemKind::kFat;
    case EXFAT_SUPER_MAGIC: return FileSystemKind::kExfat;
    case kNtfs3Magic: return FileSystemKind::kNtfsWithoutJournal;
    case FUSE_SUPER_MAGIC: return FileSystemKind::kFuse;
    default: return FileSystemKind::kJournaled;
  }
}

int RealDisk::SyncFileSystem(const std::string& folder) { return OnFolder(folder, syncfs); }

}  // namespace stampwise::platform
