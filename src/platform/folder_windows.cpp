#include <windows.h>

#include "platform/folder.hpp"
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
    return ErrnoFromWindows(error);
  }
  do {
    const wchar_t* name = found.cFileName;
    if (name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'))) continue;
    // The listing shows neither hidden nor system entries.
    if ((found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) continue;
    visit(Narrow(name));
  } while (FindNextFileW(search, &found));
  DWORD error = GetLastError();
  FindClose(search);
  return error == ERROR_NO_MORE_FILES ? 0 : ErrnoFromWindows(error);
}

int RemoveFile(const std::string& path) {
  return DeleteFileW(Widen(path).c_str()) ? 0 : ErrnoFromWindows(GetLastError());
}

}  // namespace stampwise::platform
