// What the file system offers on Linux alone: renameat2, the kind of file
// system from statfs, where a folder's last entry ends, the flush, and
// syncfs. The rest is in disk_posix.cpp.
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>

#include "platform/disk.hpp"
#include "platform/posix_io.hpp"

namespace stampwise::platform {

int RealDisk::RenameNoReplace(const std::string& from, const std::string& to) {
  return Status(renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE));
}

int RealDisk::Exchange(const std::string& a, const std::string& b) {
  return Status(renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE));
}

namespace {

// The file-system type the kernel mounted the folder's device as
// ("ext2", "ext4", ...), from /proc/self/mountinfo: ext2, ext3 and ext4
// share one magic number, and only ext2 keeps no journal.
std::string MountedAs(const std::string& folder) {
  struct stat info {};
  if (stat(folder.c_str(), &info) != 0) return "";
  std::string device =
      std::to_string(major(info.st_dev)) + ":" + std::to_string(minor(info.st_dev));
  // Read with plain calls: the C++ streams would load their locales, and
  // that alone makes the run's resident size grow by most of a megabyte.
  int fd = open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return "";
  std::string text;
  char block[4096];
  for (ssize_t n; (n = read(fd, block, sizeof block)) > 0;)
    text.append(block, static_cast<std::size_t>(n));
  close(fd);
  // "ID PARENT MAJOR:MINOR ROOT POINT OPTIONS ... - TYPE SOURCE OPTIONS"
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end_of_line = text.find('\n', at);
    if (end_of_line == std::string::npos) end_of_line = text.size();
    std::string_view line(text.data() + at, end_of_line - at);
    at = end_of_line + 1;
    std::size_t first = line.find(' ');
    std::size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
    std::size_t third = second == std::string_view::npos ? second : line.find(' ', second + 1);
    std::size_t dash = line.find(" - ");
    if (third == std::string_view::npos || dash == std::string_view::npos) continue;
    if (line.substr(second + 1, third - second - 1) != device) continue;
    std::string_view rest = line.substr(dash + 3);
    return std::string(rest.substr(0, rest.find(' ')));
  }
  return "";
}

}  // namespace

// Only the file systems known to keep a rename whole across a cut take no
// step of their own; every other one takes the careful one.
FileSystemKind RealDisk::KindOf(const std::string& folder) {
  constexpr long kNtfs3Magic = 0x7366746e;  // "ntfs": <linux/magic.h> does not name it
  constexpr long kF2fsMagic = 0xF2F52010;
  struct statfs info {};
  if (statfs(folder.c_str(), &info) != 0) return FileSystemKind::kUnknown;
  switch (static_cast<long>(info.f_type)) {
    case MSDOS_SUPER_MAGIC: return FileSystemKind::kFat;
    case EXFAT_SUPER_MAGIC: return FileSystemKind::kExfat;
    case kNtfs3Magic: return FileSystemKind::kNtfsWithoutJournal;
    case FUSE_SUPER_MAGIC: return FileSystemKind::kFuse;
    case EXT4_SUPER_MAGIC:
      return MountedAs(folder) == "ext2" ? FileSystemKind::kUnknown : FileSystemKind::kJournaled;
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case kF2fsMagic:
    case TMPFS_MAGIC:  // memory: nothing of it outlives a cut
      return FileSystemKind::kJournaled;
    default: return FileSystemKind::kUnknown;
  }
}

// Linux's telldir gives the kernel's own position of an entry, and on FAT
// that is the byte offset of the entry's first 32-byte slot: telldir before
// an entry is where it begins. Where it ends, no name says for certain (a
// long name's slots follow the characters of the character set the card
// was mounted with), but the kernel does: readdir from a position inside
// an entry still finds it, from one past its last slot finds none. A
// position that is no slot's, or a read that fails, tells nothing.
int RealDisk::EndOfEntries(const std::string& folder, std::uint64_t* end) {
  constexpr long kSlot = 32, kMostSlots = 21;  // a long name of 255 units, and its short entry
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return Failed();
  long start = -1;
  for (long before = telldir(dir);; before = telldir(dir)) {
    errno = 0;
    if (readdir(dir) == nullptr) break;
    start = before;
  }
  int error = errno != 0 ? errno : ENOSYS;
  if (error == ENOSYS && start >= 0 && start % kSlot == 0) {
    for (long at = start + kSlot; at <= start + kMostSlots * kSlot; at += kSlot) {
      seekdir(dir, at);
      errno = 0;
      if (readdir(dir) != nullptr) continue;
      error = errno;
      if (error == 0) *end = static_cast<std::uint64_t>(at);
      break;
    }
  }
  closedir(dir);
  return error;
}

// Linux's fsync writes the file and flushes the drive's cache.
int FlushFile(int fd) { return fsync(fd); }

int RealDisk::SyncFileSystem(const std::string& folder) { return OnFolder(folder, syncfs); }

}  // namespace stampwise::platform
