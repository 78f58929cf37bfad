#include "rename/names_first.hpp"

#include <cerrno>

#include "console/words.hpp"
#include "rename/fat_room.hpp"

namespace stampwise {

using Kind = RenameResult::Kind;

RenameResult NamesFirst::Reserve(const std::string& from, const std::string& to,
                                 const platform::FileId* picture) {
  if (!room_known_) {
    room_ = FatRoomAtEnd(disk_, folder_, FatSlots(to.substr(folder_.size() + 1)));
    room_known_ = true;
  }
  Pending p{from, to, picture != nullptr ? *picture : platform::FileId{}, {}};
  RenameResult taken = TakeName(disk_, to, &p.reserved);
  if (taken.kind == Kind::kTaken) return taken;
  // A name made without room known for it may have made the folder grow,
  // and given it room at its end: measured again for the next one.
  bool made = taken.kind == Kind::kDone || taken.left_error != 0;
  if (made && room_ > 0)
    --room_;
  else if (made)
    room_known_ = false;
  if (taken.kind != Kind::kDone) return taken;
  pending_.push_back(std::move(p));
  return {Kind::kPending, 0};
}

void NamesFirst::GiveUp(const std::string& path, RenameResult::Left which,
                        const platform::FileId& reserved, RenameResult* result) {
  if (!StillOurs(disk_, path, reserved)) return;
  if (int error = disk_.Remove(path)) {
    result->left = which;
    result->left_error = error;
  } else {
    ++room_;
  }
}

RenameResult NamesFirst::SwapBack(Pending& p) {
  RenameResult result = Failed(ENOENT, words::kMovedMeanwhile);
  if (disk_.Exchange(p.from, p.to) == 0)
    GiveUp(p.to, RenameResult::Left::kNewName, p.reserved, &result);
  return result;
}

// The picture swaps names with its written reservation, so that its old
// entry goes only after the new one has its clusters on the disk: a rename
// over the reservation would remove the old entry at once, and FAT mounted
// with `flush` writes that out before the new entry has them. Where the
// kernel cannot swap (before Linux 6.0), the picture is renamed over it.
// The old name must still be the picture that was looked at, and after the
// swap the new name must be it: another program may have moved it on.
RenameResult NamesFirst::MoveUnder(Pending& p) {
  RenameResult result;
  platform::FileId now;
  bool known = p.picture.number != 0;
  auto is_picture = [&](const std::string& path) {
    return disk_.IdentifyPath(path, &now) == 0 && platform::SameFile(now, p.picture);
  };
  if (!StillOurs(disk_, p.to, p.reserved)) return Failed(EEXIST, words::kTakenMeanwhile);
  if (known && !is_picture(p.from)) {
    result = Failed(ENOENT, words::kMovedMeanwhile);
    GiveUp(p.to, RenameResult::Left::kNewName, p.reserved, &result);
    return result;
  }
  int error = disk_.Exchange(p.from, p.to);
  if (error == 0 && known && !is_picture(p.to)) return SwapBack(p);
  p.swapped = error == 0;
  if (platform::FlagNotOffered(error)) error = disk_.Replace(p.from, p.to);
  if (error != 0) {
    result = Failed(error);
    GiveUp(p.to, RenameResult::Left::kNewName, p.reserved, &result);
    return result;
  }
  if (int write_error = disk_.Sync(p.to)) return {Kind::kNotWritten, write_error};
  return result;
}

void NamesFirst::End(std::vector<RenameResult>* results, std::vector<std::string>* given_up) {
  if (pending_.empty()) return;
  std::size_t first = results->size();
  // The new names on the disk, then each picture under its own.
  int error = disk_.SyncFolder(folder_);
  for (Pending& p : pending_) {
    RenameResult result = Failed(error);
    if (error != 0)
      GiveUp(p.to, RenameResult::Left::kNewName, p.reserved, &result);
    else
      result = MoveUnder(p);
    if (!result.Done()) given_up->push_back(p.to.substr(folder_.size() + 1));
    results->push_back(result);
  }
  // The old names, the empty files now, go once every picture is written
  // under its new one; then the folder once more, before a rename is said.
  for (std::size_t i = 0; i < pending_.size(); ++i) {
    const Pending& p = pending_[i];
    if (p.swapped) GiveUp(p.from, RenameResult::Left::kOldName, p.reserved, &(*results)[first + i]);
  }
  if (error == 0) error = disk_.SyncFolder(folder_);
  for (std::size_t i = first; i < results->size() && error != 0; ++i) {
    RenameResult& result = (*results)[i];
    if (result.kind != Kind::kDone) continue;
    result.kind = Kind::kNotWritten;
    result.error = error;
  }
  pending_.clear();
}

}  // namespace stampwise
