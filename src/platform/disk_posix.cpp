// The file system through the POSIX calls, on every system that has them.
// What is a system's own (a rename that refuses a taken name, the swap, the
// kind of file system, where a folder's last entry ends, the flush that
// reaches the disk, a sync of a whole file system) is in disk_<system>.cpp.
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/disk.hpp"
#include "platform/posix_io.hpp"

namespace stampwise::platform {

namespace {

FileId IdOf(const struct stat& info) {
  return FileId{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                static_cast<std::uint64_t>(info.st_size), S_ISREG(info.st_mode)};
}

}  // namespace

// A path is handed over byte for byte.
PathRules RealDisk::Rules() { return PathRules{}; }

int RealDisk::ReadFolder(const std::string& folder,
                         const std::function<void(std::string_view)>& visit) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return Failed();
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir);
    if (entry == nullptr) break;
    // Names that begin with a dot are hidden here, and "." and ".." with them.
    if (entry->d_name[0] == '.') continue;
    visit(entry->d_name);
  }
  int error = errno;  // 0 at the end of the folder
  closedir(dir);
  return error;
}

std::size_t RealDisk::FolderSize(const std::string& folder) {
  struct stat info {};
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_size < 0) return 0;
  return static_cast<std::size_t>(info.st_size);
}

int RealDisk::CreateNew(const std::string& path, File* file) {
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return Failed();
  *file = fd;
  return 0;
}

int RealDisk::CreateEmpty(const std::string& path, File* file) {
  int fd = open(path.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return Failed();
  *file = fd;
  return 0;
}

int RealDisk::OpenExisting(const std::string& path, File* file) {
  int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Failed();
  *file = fd;
  return 0;
}

int RealDisk::ReadAt(File file, std::uint64_t offset, char* into, std::size_t room,
                     std::size_t* got) {
  for (;;) {
    ssize_t n = pread(static_cast<int>(file), into, room, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Failed();
    *got = static_cast<std::size_t>(n);
    return 0;
  }
}

int RealDisk::Lock(File file) {
  if (flock(static_cast<int>(file), LOCK_EX | LOCK_NB) == 0) return 0;
  return errno == EWOULDBLOCK ? EBUSY : Failed();
}

// flock on the folder's own descriptor: the lock is the folder's, whatever
// path led to it, and the kernel lets it go when the process ends.
int RealDisk::LockFolder(const std::string& folder, File* lock) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Failed();
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int error = errno == EWOULDBLOCK ? EBUSY : Failed();
    close(fd);
    return error;
  }
  *lock = fd;
  return 0;
}

int RealDisk::Write(File file, std::string_view bytes) {
  return WriteAll(static_cast<int>(file), bytes);
}

int RealDisk::Close(File file) { return Status(close(static_cast<int>(file))); }

int RealDisk::Identify(File file, FileId* id) {
  struct stat info {};
  if (fstat(static_cast<int>(file), &info) != 0) return Failed();
  *id = IdOf(info);
  return 0;
}

int RealDisk::IdentifyPath(const std::string& path, FileId* id) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return Failed();
  *id = IdOf(info);
  return 0;
}

int RealDisk::Remove(const std::string& path) { return Status(unlink(path.c_str())); }

int RealDisk::Replace(const std::string& from, const std::string& to) {
  return Status(rename(from.c_str(), to.c_str()));
}

int RealDisk::Link(const std::string& from, const std::string& to) {
  return Status(link(from.c_str(), to.c_str()));
}

// O_NONBLOCK: a named pipe without a writer would hold the open forever.
int RealDisk::Sync(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ELOOP ? 0 : Failed();  // a symbolic link
  struct stat info {};
  int error = fstat(fd, &info) != 0 ? Failed() : 0;
  if (error == 0 && (S_ISREG(info.st_mode) || S_ISDIR(info.st_mode)))
    error = FlushFile(fd) == 0 ? 0 : Failed();
  close(fd);
  return error;
}

int RealDisk::SyncFolder(const std::string& folder) { return OnFolder(folder, FlushFile); }

unsigned long RealDisk::ProcessNumber() { return static_cast<unsigned long>(getpid()); }

}  // namespace stampwise::platform
