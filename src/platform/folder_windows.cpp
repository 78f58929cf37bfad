#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>

#include "platform/folder.hpp"
#include "platform/error_windows.hpp"
#include "platform/utf8_windows.hpp"

namespace stampwise::platform {

int ForEachEntry(const std::string& folder, const std::function<void(std::string_view)>& visit) {
  std::wstring pattern = Widen(folder) + L"\\*";
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    // An empty folder without "." and ".." (a drive's root) has nothing to find.
    DWORD attributes = GetFileAttributesW(Widen(folder).c_str());
    if (error == ERROR_FILE_NOT_FOUND && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
      return 0;
    // A file named where a folder is meant: say so, in the words of Linux.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      return ENOTDIR;
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
std::size_t FolderSize(const std::string&) { return 0; }

int RemoveFile(const std::string& path) {
  return DeleteFileW(Widen(path).c_str()) ? 0 : ErrnoFromWindows(GetLastError());
}

std::FILE* CreateNewFile(const std::string& path, int* error) {
  HANDLE handle = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    *error = ErrnoFromWindows(GetLastError());
    return nullptr;
  }
  int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
  std::FILE* file = fd < 0 ? nullptr : _fdopen(fd, "wb");
  if (file == nullptr) {
    *error = errno != 0 ? errno : EIO;
    if (fd >= 0) _close(fd); else CloseHandle(handle);
  }
  return file;
}

int ReplaceEntry(const std::string& from, const std::string& to) {
  std::wstring target = Widen(to);
  if (MoveFileExW(Widen(from).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return 0;
  DWORD error = GetLastError();
  // Windows calls a folder in the way "access denied"; Linux, as it is.
  DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return EISDIR;
  return ErrnoFromWindows(error);
}

unsigned long ProcessNumber() { return GetCurrentProcessId(); }

}  // namespace stampwise::platform
