// Every call the program makes to the file system, behind one interface, so
// that tests can stand in for any of them (tests/fakes.hpp). One real
// implementation for each family of systems: disk_posix.cpp with what is a
// system's own in disk_<system>.cpp (disk_linux.cpp), and disk_windows.cpp.
//
// One rule for errors: each call returns 0, or the error number of
// <cerrno> that the system gave, taken right at the call.
#ifndef STAMPWISE_PLATFORM_DISK_HPP
#define STAMPWISE_PLATFORM_DISK_HPP

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace stampwise::platform {

// Whether `error` says that the file system does not offer a call at all,
// rather than that this call failed: decided here, for every system.
// (ENOTSUP is EOPNOTSUPP on Linux, but not on every system.)
inline bool NotOffered(int error) {
  return error == EOPNOTSUPP || error == ENOTSUP || error == ENOSYS;
}

// The same for a call with a flag that the file system may not know:
// renameat2 on a FUSE mount answers EINVAL for RENAME_NOREPLACE and
// RENAME_EXCHANGE.
inline bool FlagNotOffered(int error) { return error == EINVAL || NotOffered(error); }

// An open file: a descriptor, or a Windows handle.
using File = std::intptr_t;

// What tells one file from another on the same system, whatever its name
// (device and number); and its size, which does not, but says whether a
// file the program made empty is still empty.
struct FileId {
  std::uint64_t device = 0;
  std::uint64_t number = 0;
  std::uint64_t size = 0;
  bool plain = true;  // a plain file: not a folder, a link, a pipe or a device
};

inline bool SameFile(const FileId& a, const FileId& b) {
  return a.device == b.device && a.number == b.number;
}

// A file that the run holds open under its name, so that it reads what it
// wrote whatever another program does with the name meanwhile.
struct HeldFile {
  bool held = false;
  File file = 0;
  // What was written into it, so that what is read back can be checked:
  // a FUSE driver has been seen to read back NUL bytes. -1: not known.
  long lines = -1;
  std::uint64_t bytes = 0;
};

// What the program needs to know of a folder's file system to keep its
// renames across a card pulled or a power cut.
enum class FileSystemKind {
  kJournaled,           // ext4, xfs, btrfs, NTFS on Windows, tmpfs, ...
  kFat,                 // FAT12/16/32 through Linux's vfat
  kExfat,               // Linux's own exFAT driver
  kNtfsWithoutJournal,  // Linux's ntfs3
  kFuse,                // any FUSE driver: exfat-fuse, fusefat, ntfs-3g
  kWindowsFat,          // FAT or exFAT on Windows, on any drive
  kRemovable,           // a removable drive on Windows, whatever it holds
  kUnknown,             // the system would not say
};

// How the system reads a path that it is handed, where that differs from
// what the program means by it.
struct PathRules {
  // Win32 drops dots and blanks from the end of a path's last part, so
  // "X (2).JPG." would open "X (2).JPG".
  bool drops_trailing_dots = false;
  // "D:" and "D:Cam1" name a drive's current folder, which the listing and
  // the renames would not agree on; "\\?\" and "\\.\" take the rest of
  // the path as it stands, where "/" is no separator.
  bool drive_letters = false;
};

class Disk {
 public:
  virtual ~Disk() = default;

  virtual PathRules Rules() = 0;

  // Calls `visit` with the name of every entry of `folder` that the home
  // platform's listing shows: not "." or "..", nothing hidden. Raw order.
  virtual int ReadFolder(const std::string& folder,
                         const std::function<void(std::string_view)>& visit) = 0;
  // The size the file system gives `folder` itself, 0 where it gives none:
  // only a guess at how many bytes its names take.
  virtual std::size_t FolderSize(const std::string& folder) = 0;
  // Where the last entry of `folder` ends, as the system keeps them: on
  // FAT, the byte offset past its last 32-byte slot, in *end. ENOSYS where
  // the system does not tell.
  virtual int EndOfEntries(const std::string& folder, std::uint64_t* end) = 0;

  // Creates `path` for reading and writing, failing when any entry of
  // that name (a link too) is there.
  virtual int CreateNew(const std::string& path, File* file) = 0;
  // Creates `path` empty, open for reading only, failing when any entry of
  // that name is there. Closing it writes nothing: FAT mounted with `flush`
  // waits a tenth of a second when a file opened for writing is closed.
  virtual int CreateEmpty(const std::string& path, File* file) = 0;
  // Opens the entry `path` itself for reading, without waiting: never what
  // a link points to, and a named pipe without a writer.
  virtual int OpenExisting(const std::string& path, File* file) = 0;
  virtual int Write(File file, std::string_view bytes) = 0;
  // Up to `room` bytes from `offset` on, *got of them (0 at the end).
  virtual int ReadAt(File file, std::uint64_t offset, char* into, std::size_t room,
                     std::size_t* got) = 0;
  // An exclusive lock on the whole file, held until it is closed; EBUSY
  // when another process holds one.
  virtual int Lock(File file) = 0;
  // A lock on the folder itself, whatever path names it (`Cam1`, `./Cam1`,
  // `/mnt/Cam1`), held in *lock until it is closed and gone with the process.
  // EBUSY when another process holds it.
  virtual int LockFolder(const std::string& folder, File* lock) = 0;
  virtual int Close(File file) = 0;
  virtual int Identify(File file, FileId* id) = 0;
  // The entry `path` itself, never what a link points to.
  virtual int IdentifyPath(const std::string& path, FileId* id) = 0;

  virtual int Remove(const std::string& path) = 0;
  // Moves `from` to `to`, replacing the entry `to` itself where there is one.
  virtual int Replace(const std::string& from, const std::string& to) = 0;
  // Moves `from` to `to`; EEXIST when `to` is taken. EINVAL (a flag it does
  // not know) or NotOffered: the file system cannot refuse a taken name in
  // one step.
  virtual int RenameNoReplace(const std::string& from, const std::string& to) = 0;
  // Swaps the entries `a` and `b`, both there. EINVAL or NotOffered: the
  // file system cannot.
  virtual int Exchange(const std::string& a, const std::string& b) = 0;
  // A second name for `from`; EEXIST when `to` is taken.
  virtual int Link(const std::string& from, const std::string& to) = 0;

  // The kind of file system that holds `folder`.
  virtual FileSystemKind KindOf(const std::string& folder) = 0;
  // Writes the file `path` names to the disk, never waiting on a named pipe
  // or a device: an entry that is not a plain file or folder has nothing of
  // its own to write, and the folder's sync writes its entry.
  virtual int Sync(const std::string& path) = 0;
  // Writes the entries of `folder` to the disk, and the disk's own cache.
  virtual int SyncFolder(const std::string& folder) = 0;
  // Writes everything of the file system that holds `folder` to the disk.
  virtual int SyncFileSystem(const std::string& folder) = 0;

  // A number of this run's own, for names no other run makes at once.
  virtual unsigned long ProcessNumber() = 0;
};

// The system's own calls.
class RealDisk : public Disk {
 public:
  PathRules Rules() override;
  int ReadFolder(const std::string& folder,
                 const std::function<void(std::string_view)>& visit) override;
  std::size_t FolderSize(const std::string& folder) override;
  int EndOfEntries(const std::string& folder, std::uint64_t* end) override;
  int CreateNew(const std::string& path, File* file) override;
  int CreateEmpty(const std::string& path, File* file) override;
  int OpenExisting(const std::string& path, File* file) override;
  int Write(File file, std::string_view bytes) override;
  int ReadAt(File file, std::uint64_t offset, char* into, std::size_t room,
             std::size_t* got) override;
  int Lock(File file) override;
  int LockFolder(const std::string& folder, File* lock) override;
  int Close(File file) override;
  int Identify(File file, FileId* id) override;
  int IdentifyPath(const std::string& path, FileId* id) override;
  int Remove(const std::string& path) override;
  int Replace(const std::string& from, const std::string& to) override;
  int RenameNoReplace(const std::string& from, const std::string& to) override;
  int Exchange(const std::string& a, const std::string& b) override;
  int Link(const std::string& from, const std::string& to) override;
  FileSystemKind KindOf(const std::string& folder) override;
  int Sync(const std::string& path) override;
  int SyncFolder(const std::string& folder) override;
  int SyncFileSystem(const std::string& folder) override;
  unsigned long ProcessNumber() override;
};

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_DISK_HPP
