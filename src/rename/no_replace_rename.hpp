// The rename that never replaces: it fails when the new name is taken, also
// by a name that differs from it only in letter case, as on the home
// platform, and on every file system, whichever calls it offers.
#ifndef STAMPWISE_RENAME_NO_REPLACE_RENAME_HPP
#define STAMPWISE_RENAME_NO_REPLACE_RENAME_HPP

#include <string>
#include <string_view>

#include "list/folder_listing.hpp"
#include "platform/disk.hpp"
#include "rename/case_index.hpp"
#include "rename/write_through.hpp"

namespace stampwise {

struct RenameResult {
  enum class Kind {
    kDone,
    kNotWritten,  // renamed, but writing it to the disk failed: `error` says why,
                  // and the disk may still hold the old name
    kTaken,       // the new name is taken: the picture is as it was
    kFailed,      // the picture is under its old name only; `error` says why
    kBothNames,   // the picture could not leave its old name and now has both
  };
  Kind kind = Kind::kDone;
  int error = 0;  // the system's error number for kFailed and kBothNames

  // The picture has its new name, at least in the computer's memory.
  bool Done() const { return kind == Kind::kDone || kind == Kind::kNotWritten; }
  bool Taken() const { return kind == Kind::kTaken; }
};

class Renamer {
 public:
  // How the rename is carried out. kAuto takes, for each picture, the first
  // way that the file system allows; the others force one, so that tests
  // can reach the ways that only some file systems need.
  enum class Method { kAuto, kExclusiveRename, kLinkThenUnlink, kReserveThenRename };

  // `listed`: a folder's names as the listing read them, or null.
  // `write_through`: how each rename is written to the disk before the next
  // one, so that a cut loses no picture (WriteThroughFor).
  Renamer(platform::Disk& disk, const FolderListing* listed, Method method = Method::kAuto,
          WriteThrough write_through = WriteThrough::kNone)
      : disk_(disk), method_(method), write_through_(write_through), index_(disk, listed) {}

  // Renames old_path to new_path, each `folder`, a slash and a name.
  RenameResult Rename(std::string_view folder, std::string_view old_path,
                      std::string_view new_path);
  // Writes what the renames changed in `folder`'s file system to the disk,
  // where it may still be in memory: a card pulled once the run has said
  // that it is done loses nothing. 0, or the error that kept it from that.
  int Finish(std::string_view folder);

 private:
  // Writes the rename just done to the disk, as write_through_ asks; the
  // picture itself only where the way has not written it already.
  int Write(bool picture_written);

  platform::Disk& disk_;
  Method method_;
  WriteThrough write_through_;
  bool flag_off_ = false;  // the file system refused to rename without replacing
  bool link_off_ = false;  // the file system refused hard links
  CaseIndex index_;
  // The attempt's paths, and the folder where renames are written through,
  // kept to reuse their room.
  std::string from_, to_, folder_;
};

}  // namespace stampwise

#endif  // STAMPWISE_RENAME_NO_REPLACE_RENAME_HPP
