#include "rename/no_replace_rename.hpp"

#include <cerrno>

#include "console/words.hpp"

namespace stampwise {

namespace {

using Kind = RenameResult::Kind;

// Whether a way could be taken at all. kNotHere sends the picture on to the
// next way; kNotOnThisDisk also turns the way off for the rest of the run.
enum class Way { kTaken, kNotHere, kNotOnThisDisk };

// The file system refuses the new name when it is taken, in one step.
Way ExclusiveRename(platform::Disk& disk, const std::string& from, const std::string& to,
                    RenameResult* result) {
  int error = disk.RenameNoReplace(from, to);
  // A flag it does not know: FUSE mounts (exFAT and FAT cards, NTFS).
  if (platform::FlagNotOffered(error)) return Way::kNotOnThisDisk;
  if (error == 0)
    *result = RenameResult{Kind::kDone, 0};
  else
    *result = error == EEXIST ? RenameResult{Kind::kTaken, 0} : Failed(error);
  return Way::kTaken;
}

// What became of a picture whose old name could not be removed after its
// link (`error`): the old name may be gone all the same, because another
// program moved the picture on; then it has that program's name, and this
// run's new name would be a second one, taken away again, but only while
// it is still this picture, since by now another file may stand there.
RenameResult AfterFailedUnlink(platform::Disk& disk, const std::string& from, const std::string& to,
                               const platform::FileId& picture, int error) {
  platform::FileId old_id, new_id;
  bool new_is_picture = disk.IdentifyPath(to, &new_id) == 0 && platform::SameFile(new_id, picture);
  int old_error = disk.IdentifyPath(from, &old_id);
  bool moved_on = old_error == ENOENT && new_is_picture;
  bool both = old_error == 0 && new_is_picture && platform::SameFile(old_id, new_id);
  RenameResult failed = Failed(error, moved_on ? words::kMovedMeanwhile : nullptr);
  if ((moved_on || both) && disk.Remove(to) != 0) failed.kind = Kind::kBothNames;
  return failed;
}

// A link fails when the new name exists, so this never replaces either.
// Only an interruption between link and unlink can leave the picture under
// both names; it is never left under none.
Way LinkThenUnlink(platform::Disk& disk, const std::string& from, const std::string& to,
                   RenameResult* result) {
  // What the picture is, so that its new name can be told from another
  // file's, whatever happens to the old name meanwhile.
  platform::FileId picture;
  if (int error = disk.IdentifyPath(from, &picture)) {
    *result = Failed(error);
    return Way::kTaken;
  }
  if (int error = disk.Link(from, to)) {
    if (platform::NotOffered(error)) return Way::kNotOnThisDisk;
    // EPERM: a card's file system refuses links, but so does a protected
    // picture of another user, or a folder: decide for this picture only.
    if (error == EPERM) return Way::kNotHere;
    *result = error == EEXIST ? RenameResult{Kind::kTaken, 0} : Failed(error);
    return Way::kTaken;
  }
  int error = disk.Remove(from);
  *result =
      error == 0 ? RenameResult{Kind::kDone, 0} : AfterFailedUnlink(disk, from, to, picture, error);
  return Way::kTaken;
}

// The last resort: take the new name with an empty file of the program's
// own, created exclusively, then rename the picture over that reservation.
// An interruption between the two steps leaves an empty file under the new
// name, the picture untouched. The check right before the rename leaves
// only the moment between the two.
RenameResult ReserveThenRename(platform::Disk& disk, const std::string& from,
                               const std::string& to) {
  platform::FileId reserved;
  RenameResult taken = TakeName(disk, to, &reserved);
  if (taken.kind != Kind::kDone) return taken;
  if (!StillOurs(disk, to, reserved)) return {Kind::kTaken, 0};
  int error = disk.Replace(from, to);
  if (error == 0) return {Kind::kDone, 0};
  RenameResult failed = Failed(error);
  if (StillOurs(disk, to, reserved)) {
    failed.left_error = disk.Remove(to);
    if (failed.left_error != 0) failed.left = RenameResult::Left::kNewName;
  }
  return failed;
}

}  // namespace

RenameResult Failed(int error, const char* why) {
  RenameResult result{Kind::kFailed, error};
  result.why = why;
  return result;
}

RenameResult TakeName(platform::Disk& disk, const std::string& to, platform::FileId* reserved) {
  platform::File file = 0;
  if (int error = disk.CreateEmpty(to, &file))
    return error == EEXIST ? RenameResult{Kind::kTaken, 0} : Failed(error);
  int error = disk.Identify(file, reserved);
  (void)disk.Close(file);
  if (error == 0) return {Kind::kDone, 0};
  RenameResult failed = Failed(error);
  failed.left = RenameResult::Left::kNewName;
  failed.left_error = error;
  return failed;
}

bool StillOurs(platform::Disk& disk, const std::string& path, const platform::FileId& reserved) {
  platform::FileId now;
  return disk.IdentifyPath(path, &now) == 0 && platform::SameFile(now, reserved) && now.size == 0;
}

RenameResult NoReplaceRename::Rename(const std::string& from, const std::string& to) {
  RenameResult result;
  if (!flag_off_) {
    Way way = ExclusiveRename(disk_, from, to, &result);
    if (way == Way::kTaken) return result;
    flag_off_ = true;
  }
  if (!link_off_) {
    Way way = LinkThenUnlink(disk_, from, to, &result);
    if (way == Way::kTaken) return result;
    link_off_ = way == Way::kNotOnThisDisk;
  }
  return ReserveThenRename(disk_, from, to);
}

}  // namespace stampwise
