// The rename that never replaces: it fails when the new name is taken, also
// by a name that differs from it only in letter case, as on the home
// platform, and on every file system, whichever calls it offers.
#ifndef STAMPWISE_RENAME_NO_REPLACE_RENAME_HPP
#define STAMPWISE_RENAME_NO_REPLACE_RENAME_HPP

#include <string>
#include <string_view>
#include <vector>

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
    kPending,     // made for a group not yet on the disk: Renamer::EndGroup says
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

class Renamer {
 public:
  // How the rename is carried out. kAuto takes, for each picture, the first
  // way that the file system allows; the others force one, so that tests
  // can reach the ways that only some file systems need.
  enum class Method { kAuto, kExclusiveRename, kLinkThenUnlink, kReserveThenRename };

  // `listed`: a folder's names as the listing read them, or null.
  // `write_through`: how renames are written to the disk, so that a cut
  // loses no picture (WriteThroughFor).
  Renamer(platform::Disk& disk, const FolderListing* listed, Method method = Method::kAuto,
          WriteThrough write_through = WriteThrough::kNone)
      : disk_(disk), method_(method), write_through_(write_through), index_(disk, listed) {}

  // Looks at a picture before its first attempt: null, or why it is left as
  // it is. An empty file is no picture: a JPEG never is, and an interrupted
  // run may leave one of its own under a picture's name.
  const char* Examine(std::string_view old_path);
  // Renames old_path to new_path, each `folder`, a slash and a name.
  RenameResult Rename(std::string_view folder, std::string_view old_path,
                      std::string_view new_path);
  // Whether renames are written to the disk as the run goes.
  bool WritesThrough() const { return write_through_ != WriteThrough::kNone; }
  std::size_t Waiting() const { return pending_.size(); }
  // Whether one more rename fits the open group. On FAT each new name of
  // a group takes room in the folder before any old name of the group
  // gives its room back: the group ends before its new names would make
  // the folder grow (fat_room.hpp). A group of one always fits.
  bool Room() const {
    return write_through_ != WriteThrough::kNamesFirst || pending_.empty() || room_ > 0;
  }
  // Writes the renames that wait to the disk and appends the result of
  // each, in the order they were made, to *results.
  void EndGroup(std::vector<RenameResult>* results);
  // Writes what the renames changed in `folder`'s file system to the disk,
  // where it may still be in memory: a card pulled once the run has said
  // that it is done loses nothing. 0, or the error that kept it from that.
  int Finish(std::string_view folder);

 private:
  // A rename of the open group: the picture, and the program's own empty
  // file under its new name (kNamesFirst), or the rename already made.
  struct Pending {
    std::string from, to;
    platform::FileId picture, reserved;
    bool swapped = false;  // its old name holds the reservation now
  };

  // Writes the rename just done to the disk, as write_through_ asks.
  int Write();
  // kNamesFirst: takes the new name with an empty file, to be written with
  // the rest of the group.
  RenameResult Reserve();
  // kNamesFirst: moves one picture of the group under its written new name.
  RenameResult MoveUnder(Pending& p);
  // Gives up the program's empty file at `path`, saying so in *result where
  // it stays.
  void GiveUp(const std::string& path, RenameResult::Left which, const platform::FileId& reserved,
              RenameResult* result);

  platform::Disk& disk_;
  Method method_;
  WriteThrough write_through_;
  bool flag_off_ = false;  // the file system refused to rename without replacing
  bool link_off_ = false;  // the file system refused hard links
  CaseIndex index_;
  // The attempt's paths, and the folder where renames are written through,
  // kept to reuse their room.
  std::string from_, to_, folder_;
  // The picture that Examine looked at last, where it could: the one whose
  // attempts follow.
  platform::FileId picture_;
  bool known_ = false;
  std::vector<Pending> pending_;
  // kNamesFirst: how many more new names fit in the folder without its
  // growing, where known: measured at the folder's end, and one more for
  // each name the program removes, since a picture's old name takes at
  // least the slots of a stamp's.
  std::size_t room_ = 0;
  bool room_known_ = false;
};

}  // namespace stampwise

#endif  // STAMPWISE_RENAME_NO_REPLACE_RENAME_HPP
