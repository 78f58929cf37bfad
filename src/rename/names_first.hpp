// FAT's way of renaming a group of pictures so that a cut at any moment
// leaves each under its old name or its new one (Linux's vfat).
//
// vfat writes a file's short entry apart from its long name, and a renamed
// entry before its clusters: a cut between leaves the picture under a short
// name only, or under none. So the new names of a group are made first, as
// empty files of the program's own, and written with one fsync of the
// folder; then each picture swaps names with its own empty file and is
// written under the new name; then the old names, the empty files now, are
// removed, and the folder is written once more before any rename of the
// group is said done: until then the card may still hold an old entry as
// it was, pointing at the picture's clusters. A group takes no more new
// names than the folder has room for without growing (fat_room.hpp).
#ifndef STAMPWISE_RENAME_NAMES_FIRST_HPP
#define STAMPWISE_RENAME_NAMES_FIRST_HPP

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "platform/disk.hpp"
#include "rename/no_replace_rename.hpp"

namespace stampwise {

class NamesFirst {
 public:
  NamesFirst(platform::Disk& disk, std::string folder) : disk_(disk), folder_(std::move(folder)) {}

  // Takes `to` for the picture at `from` with an empty file of the
  // program's own: kPending, kTaken or kFailed. `picture`: the picture that
  // was looked at under `from`, where known; it must still be there when
  // it moves.
  RenameResult Reserve(const std::string& from, const std::string& to,
                       const platform::FileId* picture);
  std::size_t Waiting() const { return pending_.size(); }
  // Whether one more new name fits the open group: each takes room in the
  // folder before any old name of the group gives its room back. A group
  // of one always fits.
  bool Room() const { return pending_.empty() || room_ > 0; }
  // Moves the pictures of the group under their new names and writes them:
  // the result of each, in the order they were reserved, appended to
  // *results, and each new name given up appended to *given_up.
  void End(std::vector<RenameResult>* results, std::vector<std::string>* given_up);

 private:
  // A rename of the open group: the picture, and its new name's empty file.
  struct Pending {
    std::string from, to;
    platform::FileId picture, reserved;
    bool swapped = false;  // its old name holds the empty file now
  };

  // Moves one picture under its written new name.
  RenameResult MoveUnder(Pending& p);
  // Swaps back what was swapped where the new name is not the picture.
  RenameResult SwapBack(Pending& p);
  // Gives up the program's empty file at `path`, saying so in *result where
  // it stays.
  void GiveUp(const std::string& path, RenameResult::Left which, const platform::FileId& reserved,
              RenameResult* result);

  platform::Disk& disk_;
  std::string folder_;
  std::vector<Pending> pending_;
  // How many more new names fit in the folder without its growing, where
  // known: measured at the folder's end, and one more for each name the
  // program removes, since a picture's old name takes at least the slots of
  // a stamp's.
  std::size_t room_ = 0;
  bool room_known_ = false;
};

}  // namespace stampwise

#endif  // STAMPWISE_RENAME_NAMES_FIRST_HPP
