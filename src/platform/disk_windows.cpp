// The file system through the Win32 calls, names as UTF-16.
#include <windows.h>

#include <cerrno>
#include <cwchar>
#include <string>

#include "platform/disk.hpp"
#include "platform/disk_windows.hpp"
#include "platform/error_windows.hpp"
#include "platform/utf8_windows.hpp"

namespace stampwise::platform {

namespace {

int Failed() { return ErrnoFromWindows(GetLastError()); }

int Status(BOOL done) { return done ? 0 : Failed(); }

HANDLE HandleOf(File file) { return reinterpret_cast<HANDLE>(file); }

bool IsFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int IdOf(HANDLE handle, FileId* id) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return Failed();
  id->device = info.dwVolumeSerialNumber;
  id->number = std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow;
  id->size = std::uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow;
  id->plain = (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT |
                                        FILE_ATTRIBUTE_DEVICE)) == 0;
  return 0;
}

}  // namespace

PathRules RealDisk::Rules() { return PathRules{true, true}; }

int RealDisk::ReadFolder(const std::string& folder,
                         const std::function<void(std::string_view)>& visit) {
  std::wstring wide = Widen(folder);
  std::wstring pattern = wide + L"\\*";
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    DWORD attributes = GetFileAttributesW(wide.c_str());
    // An empty folder without "." and ".." (a drive's root) has nothing to find.
    if (error == ERROR_FILE_NOT_FOUND && IsFolder(attributes)) return 0;
    // A file named where a folder is meant: say so, in the words of Linux.
    if (attributes != INVALID_FILE_ATTRIBUTES && !IsFolder(attributes)) return ENOTDIR;
    return ErrnoFromWindows(error);
  }
  std::string utf8;
  do {
    const wchar_t* name = found.cFileName;
    if (name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'))) continue;
    // The listing shows neither hidden nor system entries.
    if ((found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) continue;
    // A name that is not valid UTF-16 cannot be named again: leave it out.
    if (Narrow(name, &utf8)) visit(utf8);
  } while (FindNextFileW(search, &found));
  DWORD error = GetLastError();
  FindClose(search);
  return error == ERROR_NO_MORE_FILES ? 0 : ErrnoFromWindows(error);
}

// A folder has no size of its own here.
std::size_t RealDisk::FolderSize(const std::string&) { return 0; }

// Windows keeps its folders' layout to itself.
int RealDisk::EndOfEntries(const std::string&, std::uint64_t*) { return ENOSYS; }

// Others may read the new file, and it may be renamed while it is open.
int RealDisk::CreateNew(const std::string& path, File* file) {
  HANDLE handle = CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return Failed();
  *file = reinterpret_cast<File>(handle);
  return 0;
}

int RealDisk::CreateEmpty(const std::string& path, File* file) {
  HANDLE handle =
      CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return Failed();
  *file = reinterpret_cast<File>(handle);
  return 0;
}

int RealDisk::OpenExisting(const std::string& path, File* file) {
  HANDLE handle = CreateFileW(Widen(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return Failed();
  *file = reinterpret_cast<File>(handle);
  return 0;
}

int RealDisk::ReadAt(File file, std::uint64_t offset, char* into, std::size_t room,
                     std::size_t* got) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD done = 0;
  DWORD want = room < 0x40000000 ? static_cast<DWORD>(room) : 0x40000000;
  if (!ReadFile(HandleOf(file), into, want, &done, &at) && GetLastError() != ERROR_HANDLE_EOF)
    return Failed();
  *got = done;
  return 0;
}

int RealDisk::Lock(File file) {
  OVERLAPPED whole{};
  if (LockFileEx(HandleOf(file), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                 MAXDWORD, &whole))
    return 0;
  return Failed();  // ERROR_LOCK_VIOLATION: EBUSY
}

int FolderLockName(const std::string& folder, std::wstring* name) {
  HANDLE handle =
      CreateFileW(Widen(folder).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return Failed();
  FileId id;
  int error = IdOf(handle, &id);
  CloseHandle(handle);
  if (error != 0) return error;
  wchar_t text[80];
  swprintf(text, sizeof text / sizeof text[0], L"Global\\stampwise-%llx-%llx",
           static_cast<unsigned long long>(id.device), static_cast<unsigned long long>(id.number));
  *name = text;
  return 0;
}

// Windows locks no folder for another program's sake: a named mutex stands
// for the folder, and goes with the process. It is global, so that a run
// in another logon session on the same card (another user's, a remote
// desktop's) finds it too. A run with other rights (an administrator's, or
// another user's) holds it with a security that lets this run not open it:
// then too it is held.
int RealDisk::LockFolder(const std::string& folder, File* lock) {
  std::wstring name;
  if (int error = FolderLockName(folder, &name)) return error;
  HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
  if (mutex == nullptr) return GetLastError() == ERROR_ACCESS_DENIED ? EBUSY : Failed();
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return EBUSY;
  }
  *lock = reinterpret_cast<File>(mutex);
  return 0;
}

int RealDisk::Write(File file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD done = 0;
    if (!WriteFile(HandleOf(file), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr))
      return Failed();
    if (done == 0) return EIO;
    bytes.remove_prefix(done);
  }
  return 0;
}

int RealDisk::Close(File file) { return Status(CloseHandle(HandleOf(file))); }

int RealDisk::Identify(File file, FileId* id) { return IdOf(HandleOf(file), id); }

int RealDisk::IdentifyPath(const std::string& path, FileId* id) {
  HANDLE handle = CreateFileW(
      Widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return Failed();
  int error = IdOf(handle, id);
  CloseHandle(handle);
  return error;
}

int RealDisk::Remove(const std::string& path) { return Status(DeleteFileW(Widen(path).c_str())); }

int RealDisk::Replace(const std::string& from, const std::string& to) {
  std::wstring target = Widen(to);
  if (MoveFileExW(Widen(from).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return 0;
  int error = Failed();
  // Windows calls a folder in the way "access denied"; Linux, as it is.
  return IsFolder(GetFileAttributesW(target.c_str())) ? EISDIR : error;
}

// Without MOVEFILE_REPLACE_EXISTING the move fails when the new name exists,
// in any letter case: one call, on every file system.
int RealDisk::RenameNoReplace(const std::string& from, const std::string& to) {
  return Status(MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), 0));
}

// Windows has no call that swaps two names in one step.
int RealDisk::Exchange(const std::string&, const std::string&) { return ENOSYS; }

int RealDisk::Link(const std::string& from, const std::string& to) {
  return Status(CreateHardLinkW(Widen(to).c_str(), Widen(from).c_str(), nullptr));
}

// FAT and exFAT volumes and removable drives write their folders lazily:
// a card pulled right after a rename can lose the picture. The volume is
// the one of the folder the program opens, asked of its handle: a folder
// typed through a link on a fixed drive (a junction to D:\\Cam1) lies on
// the card.
FileSystemKind RealDisk::KindOf(const std::string& folder) {
  HANDLE handle = CreateFileW(Widen(folder.empty() ? std::string(".") : folder).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FileSystemKind::kUnknown;
  wchar_t opened[MAX_PATH + 1], volume[MAX_PATH + 1];
  DWORD length = GetFinalPathNameByHandleW(handle, opened, MAX_PATH + 1, FILE_NAME_NORMALIZED);
  CloseHandle(handle);
  if (length == 0 || length > MAX_PATH) return FileSystemKind::kUnknown;
  // "\\?\D:\Cam1" as "D:\Cam1": the drive's own root is what the drive's
  // type is asked of.
  const wchar_t* path = opened;
  if (std::wcsncmp(path, L"\\\\?\\", 4) == 0 && path[4] != L'\0' && path[5] == L':') path += 4;
  if (!GetVolumePathNameW(path, volume, MAX_PATH + 1)) return FileSystemKind::kUnknown;
  if (GetDriveTypeW(volume) == DRIVE_REMOVABLE) return FileSystemKind::kRemovable;
  wchar_t file_system[MAX_PATH + 1];
  if (!GetVolumeInformationW(volume, nullptr, 0, nullptr, nullptr, nullptr, file_system,
                             MAX_PATH + 1))
    return FileSystemKind::kUnknown;
  std::wstring name(file_system);
  if (name.find(L"FAT") != std::wstring::npos) return FileSystemKind::kWindowsFat;
  return FileSystemKind::kJournaled;
}

// A rename changes the folder, not the picture: a picture that cannot be
// opened for writing (read-only, or open in a viewer) is left to the
// folder's flush, which writes its entry.
int RealDisk::Sync(const std::string& path) {
  HANDLE handle = CreateFileW(Widen(path).c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION
               ? 0
               : ErrnoFromWindows(error);
  }
  int error = Status(FlushFileBuffers(handle));
  CloseHandle(handle);
  return error;
}

// A folder's handle flushes its entries and the file allocation table.
int RealDisk::SyncFolder(const std::string& folder) {
  HANDLE handle = CreateFileW(Widen(folder).c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return Failed();
  int error = Status(FlushFileBuffers(handle));
  CloseHandle(handle);
  return error;
}

// Flushing a whole volume needs an administrator here; each rename has
// already been flushed with its folder by SyncFolder.
int RealDisk::SyncFileSystem(const std::string&) { return 0; }

unsigned long RealDisk::ProcessNumber() { return GetCurrentProcessId(); }

}  // namespace stampwise::platform
