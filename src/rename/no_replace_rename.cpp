#include "rename/no_replace_rename.hpp"

#include <cerrno>
#include <string>

#include "console/words.hpp"
#include "rename/fat_room.hpp"

namespace stampwise {

namespace {

// What one way of renaming gave. kNotHere sends the picture on to the next
// way; kNotOnThisDisk also turns the way off for the rest of the run.
enum class Step { kDone, kTaken, kFailed, kBothNames, kNotHere, kNotOnThisDisk };

using platform::NotOffered;

struct StepResult {
  Step step;
  int error;
  const char* why = nullptr;  // where the system's words would not say it
  int left_error = 0;         // the program's own empty file could not be removed
};

StepResult FailedWith(int error) { return {Step::kFailed, error}; }

// The file system refuses the new name when it is taken, in one step.
// EINVAL: a flag it does not know (FUSE mounts: exFAT and FAT cards, NTFS).
StepResult ExclusiveRename(platform::Disk& disk, const std::string& from, const std::string& to) {
  int error = disk.RenameNoReplace(from, to);
  if (error == 0) return {Step::kDone, 0};
  if (error == EEXIST) return {Step::kTaken, 0};
  if (platform::FlagNotOffered(error)) return {Step::kNotOnThisDisk, error};
  return FailedWith(error);
}

// A link fails when the new name exists, so this never replaces either.
// Only an interruption between link and unlink can leave the picture under
// both names; it is never left under none.
StepResult LinkThenUnlink(platform::Disk& disk, const std::string& from, const std::string& to) {
  // What the picture is, so that its new name can be told from another
  // file's, whatever happens to the old name meanwhile.
  platform::FileId picture;
  if (int error = disk.IdentifyPath(from, &picture)) return FailedWith(error);
  if (int error = disk.Link(from, to)) {
    if (error == EEXIST) return {Step::kTaken, 0};
    if (NotOffered(error)) return {Step::kNotOnThisDisk, error};
    // EPERM: a card's file system refuses links, but so does a protected
    // picture of another user, or a folder: decide for this picture only.
    if (error == EPERM) return {Step::kNotHere, error};
    return FailedWith(error);
  }
  int error = disk.Remove(from);
  if (error == 0) return {Step::kDone, 0};
  platform::FileId old_id, new_id;
  bool new_is_picture = disk.IdentifyPath(to, &new_id) == 0 && platform::SameFile(new_id, picture);
  int old_error = disk.IdentifyPath(from, &old_id);
  // The old name is gone all the same: another program moved the picture
  // on, and it has that program's name. This run's new name would be a
  // second one: taken away again, but only while it is still this picture,
  // since by now another file may stand there.
  bool moved_on = old_error == ENOENT && new_is_picture;
  bool both = old_error == 0 && new_is_picture && platform::SameFile(old_id, new_id);
  StepResult failed = FailedWith(error);
  if (!moved_on && !both) return failed;
  if (moved_on) failed.why = words::kMovedMeanwhile;
  if (disk.Remove(to) != 0) failed.step = Step::kBothNames;
  return failed;
}

// Whether the program's own empty file, made as `reserved`, still stands
// at `path`: a program that opens the name without asking for a new file
// (a copy, a redirect, a sync tool) may have written into it, or put its
// own file there. Then the name is that program's.
bool StillOurs(platform::Disk& disk, const std::string& path, const platform::FileId& reserved) {
  platform::FileId now;
  return disk.IdentifyPath(path, &now) == 0 && platform::SameFile(now, reserved) && now.size == 0;
}

// Takes `to` with an empty file of the program's own, created exclusively:
// kDone with what it is in *reserved, kTaken, or kFailed; a file that was
// made but could not be told from another stays, and left_error says so.
StepResult TakeName(platform::Disk& disk, const std::string& to, platform::FileId* reserved) {
  platform::File file = 0;
  if (int error = disk.CreateEmpty(to, &file))
    return error == EEXIST ? StepResult{Step::kTaken, 0} : FailedWith(error);
  int error = disk.Identify(file, reserved);
  (void)disk.Close(file);
  if (error == 0) return {Step::kDone, 0};
  StepResult failed = FailedWith(error);
  failed.left_error = error;
  return failed;
}

// The last resort: take the new name with an empty file of the program's
// own, created exclusively, then rename the picture over that reservation.
// An interruption between the two steps leaves an empty file under the new
// name, the picture untouched. The check right before the rename leaves
// only the moment between the two.
StepResult ReserveThenRename(platform::Disk& disk, const std::string& from, const std::string& to) {
  platform::FileId reserved;
  StepResult taken = TakeName(disk, to, &reserved);
  if (taken.step != Step::kDone) return taken;
  if (!StillOurs(disk, to, reserved)) return {Step::kTaken, 0};
  int error = disk.Replace(from, to);
  if (error == 0) return {Step::kDone, 0};
  StepResult failed = FailedWith(error);
  if (StillOurs(disk, to, reserved)) failed.left_error = disk.Remove(to);
  return failed;
}

// The ways in order, each kept off for the rest of the run once the file
// system has shown that it does not offer it.
StepResult AttemptEachWay(platform::Disk& disk, bool* flag_off, bool* link_off,
                          const std::string& from, const std::string& to) {
  if (!*flag_off) {
    StepResult o = ExclusiveRename(disk, from, to);
    if (o.step != Step::kNotOnThisDisk) return o;
    *flag_off = true;
  }
  if (!*link_off) {
    StepResult o = LinkThenUnlink(disk, from, to);
    if (o.step != Step::kNotOnThisDisk && o.step != Step::kNotHere) return o;
    if (o.step == Step::kNotOnThisDisk) *link_off = true;
  }
  return ReserveThenRename(disk, from, to);
}

RenameResult Failed(int error, const char* why = nullptr) {
  RenameResult result{RenameResult::Kind::kFailed, error};
  result.why = why;
  return result;
}

// A way that failed, with the program's own empty file it could not remove
// under the new name.
RenameResult FromStep(const StepResult& o) {
  RenameResult failed = Failed(o.error, o.why);
  if (o.left_error != 0) {
    failed.left = RenameResult::Left::kNewName;
    failed.left_error = o.left_error;
  }
  return failed;
}

}  // namespace

// Only where the program itself can leave such a file: the ways that write
// renames through are those of cards, where it reserves names. Elsewhere
// the look would cost every picture a call.
const char* Renamer::Examine(std::string_view old_path) {
  known_ = false;
  if (write_through_ == WriteThrough::kNone) return nullptr;
  from_.assign(old_path);
  known_ = disk_.IdentifyPath(from_, &picture_) == 0;
  if (known_ && picture_.plain && picture_.size == 0) return words::kEmptyFile;
  return nullptr;
}

RenameResult Renamer::Rename(std::string_view folder, std::string_view old_path,
                             std::string_view new_path) {
  std::string_view old_name = old_path.substr(folder.size() + 1);
  std::string_view new_name = new_path.substr(folder.size() + 1);
  // Without a complete view of the folder a twin in another letter case
  // could be missed: leave the picture rather than rename it unchecked.
  if (int error = index_.Load(folder, new_name.size())) return Failed(error);
  if (index_.Has(new_name)) return {RenameResult::Kind::kTaken, 0};

  from_.assign(old_path);
  to_.assign(new_path);
  if (write_through_ != WriteThrough::kNone) folder_.assign(folder);
  if (write_through_ == WriteThrough::kNamesFirst) {
    RenameResult claimed = Reserve();
    if (claimed.kind == RenameResult::Kind::kPending) {
      index_.AddLast();
      index_.Remove(old_name);
    }
    return claimed;
  }
  StepResult o{};
  switch (method_) {
    case Method::kExclusiveRename: o = ExclusiveRename(disk_, from_, to_); break;
    case Method::kLinkThenUnlink: o = LinkThenUnlink(disk_, from_, to_); break;
    case Method::kReserveThenRename: o = ReserveThenRename(disk_, from_, to_); break;
    case Method::kAuto: o = AttemptEachWay(disk_, &flag_off_, &link_off_, from_, to_); break;
  }
  switch (o.step) {
    case Step::kDone: {
      index_.AddLast();
      index_.Remove(old_name);
      if (write_through_ == WriteThrough::kGroupThenFolder) {
        pending_.push_back(Pending{from_, to_, {}, {}});
        return {RenameResult::Kind::kPending, 0};
      }
      // A file system without a journal may write the new name before the
      // picture's clusters are entered under it: written now, before the
      // next rename, the picture is found under one name or the other.
      if (int error = Write()) return {RenameResult::Kind::kNotWritten, error};
      return {RenameResult::Kind::kDone, 0};
    }
    case Step::kTaken: return {RenameResult::Kind::kTaken, 0};
    case Step::kBothNames: return {RenameResult::Kind::kBothNames, o.error};
    case Step::kNotHere:
    case Step::kNotOnThisDisk:
    case Step::kFailed: break;
  }
  return FromStep(o);
}

void Renamer::GiveUp(const std::string& path, RenameResult::Left which,
                     const platform::FileId& reserved, RenameResult* result) {
  if (!StillOurs(disk_, path, reserved)) return;
  if (int error = disk_.Remove(path)) {
    result->left = which;
    result->left_error = error;
  } else {
    ++room_;
  }
}

RenameResult Renamer::Reserve() {
  if (!room_known_) {
    room_ = FatRoomAtEnd(disk_, folder_, FatSlots(to_.substr(folder_.size() + 1)));
    room_known_ = true;
  }
  Pending p{from_, to_, {}, {}};
  StepResult taken = TakeName(disk_, to_, &p.reserved);
  if (taken.step == Step::kTaken) return {RenameResult::Kind::kTaken, 0};
  // A name made without room known for it may have made the folder grow,
  // and given it room at its end: measured again for the next one.
  bool made = taken.step == Step::kDone || taken.left_error != 0;
  if (made && room_ > 0)
    --room_;
  else if (made)
    room_known_ = false;
  if (taken.step != Step::kDone) return FromStep(taken);
  if (known_) p.picture = picture_;
  pending_.push_back(std::move(p));
  return {RenameResult::Kind::kPending, 0};
}

// The picture swaps names with its written reservation, so that its old
// entry goes only after the new one has its clusters on the disk: a rename
// over the reservation would remove the old entry at once, and FAT mounted
// with `flush` writes that out before the new entry has them. Where the
// kernel cannot swap (before Linux 6.0), the picture is renamed over it.
// The old name must still be the picture that was looked at, and after the
// swap the new name must be it: another program may have moved it on.
RenameResult Renamer::MoveUnder(Pending& p) {
  RenameResult result;
  platform::FileId now;
  auto is_picture = [&](const std::string& path) {
    return disk_.IdentifyPath(path, &now) == 0 && platform::SameFile(now, p.picture);
  };
  if (!StillOurs(disk_, p.to, p.reserved)) return Failed(EEXIST, words::kTakenMeanwhile);
  if (p.picture.number != 0 && !is_picture(p.from)) {
    result = Failed(ENOENT, words::kMovedMeanwhile);
    GiveUp(p.to, RenameResult::Left::kNewName, p.reserved, &result);
    return result;
  }
  int error = disk_.Exchange(p.from, p.to);
  if (error == 0) {
    if (p.picture.number != 0 && !is_picture(p.to)) {
      // Whatever stood under the old name is put back.
      result = Failed(ENOENT, words::kMovedMeanwhile);
      if (disk_.Exchange(p.from, p.to) == 0)
        GiveUp(p.to, RenameResult::Left::kNewName, p.reserved, &result);
      return result;
    }
    p.swapped = true;
  } else if (platform::FlagNotOffered(error)) {
    error = disk_.Replace(p.from, p.to);
  }
  if (error != 0) {
    result = Failed(error);
    GiveUp(p.to, RenameResult::Left::kNewName, p.reserved, &result);
    return result;
  }
  if (int write_error = disk_.Sync(p.to)) return {RenameResult::Kind::kNotWritten, write_error};
  return result;
}

void Renamer::EndGroup(std::vector<RenameResult>* results) {
  if (pending_.empty()) return;
  std::size_t first = results->size();
  // The new names, or the renames themselves, on the disk.
  int error = disk_.SyncFolder(folder_);
  if (write_through_ == WriteThrough::kNamesFirst) {
    for (Pending& p : pending_) {
      RenameResult result = Failed(error);
      if (error != 0)
        GiveUp(p.to, RenameResult::Left::kNewName, p.reserved, &result);
      else
        result = MoveUnder(p);
      if (!result.Done()) index_.Remove(p.to.substr(folder_.size() + 1));
      results->push_back(std::move(result));
    }
    // The old names, the empty files now, go once every picture is written
    // under its new one; then the folder once more, before a rename is said
    // done: until then the card may still hold the old entry as it was,
    // pointing at the picture's clusters, a second name that shares them.
    for (std::size_t i = 0; i < pending_.size(); ++i) {
      if (pending_[i].swapped)
        GiveUp(pending_[i].from, RenameResult::Left::kOldName, pending_[i].reserved,
               &(*results)[first + i]);
    }
    if (error == 0) error = disk_.SyncFolder(folder_);
  } else {
    results->resize(first + pending_.size());
  }
  for (std::size_t i = first; i < results->size(); ++i) {
    RenameResult& result = (*results)[i];
    if (error != 0 && result.kind == RenameResult::Kind::kDone) {
      result.kind = RenameResult::Kind::kNotWritten;
      result.error = error;
    }
  }
  pending_.clear();
}

int Renamer::Write() {
  if (write_through_ != WriteThrough::kPictureAndFolder) return 0;
  if (int error = disk_.Sync(to_)) return error;
  return disk_.SyncFolder(folder_);
}

// syncfs writes what is in memory, but on FAT and exFAT it leaves the
// card's own cache alone; the folder's fsync flushes that too.
int Renamer::Finish(std::string_view folder) {
  if (write_through_ == WriteThrough::kNone) return 0;
  std::string path(folder);
  if (int error = disk_.SyncFileSystem(path)) return error;
  return disk_.SyncFolder(path);
}

}  // namespace stampwise
