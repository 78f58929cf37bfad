// The rename that never replaces, on every file system, whichever calls it
// offers: renameat2 with RENAME_NOREPLACE, or a link and an unlink, or an
// empty file of the program's own that takes the new name first (a
// reservation), which the picture is then renamed over.
#ifndef STAMPWISE_RENAME_NO_REPLACE_RENAME_HPP
#define STAMPWISE_RENAME_NO_REPLACE_RENAME_HPP

#include <string>

#include "platform/disk.hpp"

namespace stampwise {

struct RenameResult {
  enum class Kind {
    kDone,
    kNotWritten,  // renamed, but writing it to the disk failed: `error` says why,
                  // and the disk may still hold the old name
    kPending,     // made for a group not yet on the disk: the group's end says
    kTaken,       // the new name is taken: the picture is as it was
    kFailed,      // the picture is under its old name only; `error` or `why` says why
    kBothNames,   // the picture could not leave its old name and now has both
  };
  RenameResult() = default;
  RenameResult(Kind k, int e) : kind(k), error(e) {}

  Kind kind = Kind::kDone;
  int error = 0;              // the system's error number for kFailed and kBothNames
  const char* why = nullptr;  // for kFailed, where the system's words would not say it
  // An empty file of the program's own that could not be removed: under
  // which of the two names, and the error of its removal.
  enum class Left { kNothing, kOldName, kNewName };
  Left left = Left::kNothing;
  int left_error = 0;

  // The attempts are over: the picture has its new name, at least in the
  // computer's memory, or will be said once its group is written.
  bool Done() const {
    return kind == Kind::kDone || kind == Kind::kNotWritten || kind == Kind::kPending;
  }
  bool Taken() const { return kind == Kind::kTaken; }
};

RenameResult Failed(int error, const char* why = nullptr);

// The ways in order, each kept off for the rest of the run once the file
// system has shown that it does not offer it.
class NoReplaceRename {
 public:
  explicit NoReplaceRename(platform::Disk& disk) : disk_(disk) {}

  // Moves `from` to `to`: kDone, kTaken (also where another program wrote
  // into the reservation meanwhile), kFailed or kBothNames.
  RenameResult Rename(const std::string& from, const std::string& to);

 private:
  platform::Disk& disk_;
  bool flag_off_ = false;  // the file system refused to rename without replacing
  bool link_off_ = false;  // the file system refused hard links
};

// Takes `to` with an empty file of the program's own, created exclusively:
// kDone with what it is in *reserved, kTaken, or kFailed; a file that was
// made but could not be told from another stays, and the result says so.
RenameResult TakeName(platform::Disk& disk, const std::string& to, platform::FileId* reserved);

// Whether the program's own empty file, made as `reserved`, still stands
// at `path`: a program that opens the name without asking for a new file
// (a copy, a redirect, a sync tool) may have written into it, or put its
// own file there. Then the name is that program's.
bool StillOurs(platform::Disk& disk, const std::string& path, const platform::FileId& reserved);

}  // namespace stampwise

#endif  // STAMPWISE_RENAME_NO_REPLACE_RENAME_HPP
