#include "rename/no_replace_rename.hpp"

#include <cerrno>
#include <string>

namespace stampwise {

namespace {

// What one way of renaming gave. kNotHere sends the picture on to the next
// way; kNotOnThisDisk also turns the way off for the rest of the run.
enum class Step { kDone, kDoneNotWritten, kTaken, kFailed, kBothNames, kNotHere, kNotOnThisDisk };

using platform::NotOffered;

struct StepResult {
  Step step;
  int error;
  bool picture_written = false;  // the way has written the picture already
};

StepResult FailedWith(int error) { return {Step::kFailed, error}; }

// The file system refuses the new name when it is taken, in one step.
// EINVAL: a flag it does not know (FUSE mounts: exFAT and FAT cards, NTFS).
StepResult ExclusiveRename(platform::Disk& disk, const std::string& from, const std::string& to) {
  int error = disk.RenameNoReplace(from, to);
  if (error == 0) return {Step::kDone, 0};
  if (error == EEXIST) return {Step::kTaken, 0};
  if (error == EINVAL || NotOffered(error)) return {Step::kNotOnThisDisk, error};
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
  // The old name is gone all the same (another run on the same folder moved
  // the picture on): the new name is this picture's, as that run's is.
  int old_error = disk.IdentifyPath(from, &old_id);
  if (old_error == ENOENT && new_is_picture) return {Step::kDone, 0};
  // Take the new name away again, but only while it is still this picture:
  // by now another file may stand there.
  if (old_error != 0 || !new_is_picture || !platform::SameFile(old_id, new_id))
    return FailedWith(error);
  if (disk.Remove(to) != 0) return {Step::kBothNames, error};
  return FailedWith(error);
}

// The last resort: take the new name with an empty file of the program's
// own, created exclusively, then rename the picture over that reservation.
// An interruption between the two steps leaves an empty file under the new
// name, the picture untouched.
//
// `written_in`, when given, is the folder whose entries are written to the
// disk once the reservation is made: the new name is then whole on the disk
// before the picture moves under it. The picture then swaps names with the
// reservation where the file system can, is written under its new name,
// and only then is its old name, the reservation now, removed. A rename
// over the reservation would remove the
// old entry at once, and a file system that writes its folders back at
// once (FAT mounted with `flush`) could put that on the disk before the new
// entry has the picture's clusters.
StepResult ReserveThenRename(platform::Disk& disk, const std::string& from, const std::string& to,
                             const std::string* written_in = nullptr) {
  platform::File file = 0;
  if (int error = disk.CreateEmpty(to, &file))
    return error == EEXIST ? StepResult{Step::kTaken, 0} : FailedWith(error);
  platform::FileId reserved;
  int error = disk.Identify(file, &reserved);
  (void)disk.Close(file);
  // The reservation must still be the program's own empty file when it is
  // given up, and right before the rename: a program that opens the name
  // without asking for a new file (a copy, a redirect, a sync tool) may have
  // written into it, or put its own file there. Then the name is that
  // program's: taken. What is left is the moment between this check and the
  // rename.
  auto still_ours = [&] {
    platform::FileId now;
    return disk.IdentifyPath(to, &now) == 0 && platform::SameFile(now, reserved) && now.size == 0;
  };
  if (error == 0 && written_in != nullptr) error = disk.SyncFolder(*written_in);
  if (error != 0) {
    // Not known to be the program's own, or not on the disk: given up.
    if (still_ours()) (void)disk.Remove(to);
    return FailedWith(error);
  }
  if (!still_ours()) return {Step::kTaken, 0};
  if (written_in != nullptr) {
    error = disk.Exchange(from, to);
    if (error == 0) {
      int write_error = disk.Sync(to);
      platform::FileId left;
      if (disk.IdentifyPath(from, &left) == 0 && platform::SameFile(left, reserved))
        (void)disk.Remove(from);
      return write_error == 0 ? StepResult{Step::kDone, 0, true}
                              : StepResult{Step::kDoneNotWritten, write_error};
    }
    if (error != EINVAL && !NotOffered(error)) {
      if (still_ours()) (void)disk.Remove(to);
      return FailedWith(error);
    }
  }
  error = disk.Replace(from, to);
  if (error == 0) return {Step::kDone, 0};
  if (still_ours()) (void)disk.Remove(to);
  return FailedWith(error);
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

}  // namespace

RenameResult Renamer::Rename(std::string_view folder, std::string_view old_path,
                             std::string_view new_path) {
  std::string_view old_name = old_path.substr(folder.size() + 1);
  std::string_view new_name = new_path.substr(folder.size() + 1);
  // Without a complete view of the folder a twin in another letter case
  // could be missed: leave the picture rather than rename it unchecked.
  if (int error = index_.Load(folder, new_name.size())) return {RenameResult::Kind::kFailed, error};
  if (index_.Has(new_name)) return {RenameResult::Kind::kTaken, 0};

  from_.assign(old_path);
  to_.assign(new_path);
  if (write_through_ != WriteThrough::kNone) folder_.assign(folder);
  // kNameFirst takes the reservation, written to the disk, for every picture.
  const std::string* written_in = write_through_ == WriteThrough::kNameFirst ? &folder_ : nullptr;
  StepResult o{};
  switch (written_in != nullptr ? Method::kReserveThenRename : method_) {
    case Method::kExclusiveRename: o = ExclusiveRename(disk_, from_, to_); break;
    case Method::kLinkThenUnlink: o = LinkThenUnlink(disk_, from_, to_); break;
    case Method::kReserveThenRename: o = ReserveThenRename(disk_, from_, to_, written_in); break;
    case Method::kAuto: o = AttemptEachWay(disk_, &flag_off_, &link_off_, from_, to_); break;
  }
  switch (o.step) {
    case Step::kDone:
    case Step::kDoneNotWritten: {
      index_.AddLast();
      index_.Remove(old_name);
      // A file system without a journal may write the new name before the
      // picture's clusters are entered under it: written now, before the
      // next rename, the picture is found under one name or the other.
      int error = o.step == Step::kDoneNotWritten ? o.error : Write(o.picture_written);
      if (error != 0) return {RenameResult::Kind::kNotWritten, error};
      return {RenameResult::Kind::kDone, 0};
    }
    case Step::kTaken: return {RenameResult::Kind::kTaken, 0};
    case Step::kBothNames: return {RenameResult::Kind::kBothNames, o.error};
    case Step::kNotHere:
    case Step::kNotOnThisDisk:
    case Step::kFailed: break;
  }
  return {RenameResult::Kind::kFailed, o.error};
}

int Renamer::Write(bool picture_written) {
  if (write_through_ == WriteThrough::kNone) return 0;
  if (!picture_written)
    if (int error = disk_.Sync(to_)) return error;
  if (write_through_ == WriteThrough::kPicture) return 0;
  // kNameFirst: the folder again, for the old entry's deletion where it lies
  // apart from the new one.
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
