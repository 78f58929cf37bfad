#include <windows.h>

#include "platform/rename.hpp"
#include "platform/error_windows.hpp"
#include "platform/utf8_windows.hpp"

namespace stampwise::platform {

// Windows file systems treat names that differ only in letter case as one
// name, and MoveFileExW without MOVEFILE_REPLACE_EXISTING fails when the new
// name exists in any case: one call gives every guarantee, on every file
// system, so every Method is carried out the same way here.
struct Renamer::Impl {};

Renamer::Renamer(Method, SystemCalls*) : impl_(new Impl) {}
Renamer::~Renamer() = default;

RenameResult Renamer::Rename(std::string_view old_path, std::string_view new_path) {
  if (MoveFileExW(Widen(old_path).c_str(), Widen(new_path).c_str(), 0))
    return {RenameResult::Kind::kDone, 0};
  DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
    return {RenameResult::Kind::kTaken, 0};
  return {RenameResult::Kind::kFailed, ErrnoFromWindows(error)};
}

}  // namespace stampwise::platform
