// What the rename step asks for each attempt: whether the new name is taken
// in any letter case, then the rename in the way the folder's file system
// needs (write_through.hpp): a rename that never replaces
// (no_replace_rename.hpp), written to the disk at once or with its group,
// or on FAT a new name reserved for the group (names_first.hpp).
#ifndef STAMPWISE_RENAME_RENAMER_HPP
#define STAMPWISE_RENAME_RENAMER_HPP

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "list/folder_listing.hpp"
#include "platform/disk.hpp"
#include "rename/case_index.hpp"
#include "rename/names_first.hpp"
#include "rename/no_replace_rename.hpp"
#include "rename/write_through.hpp"

namespace stampwise {

class Renamer {
 public:
  // Renames in the folder that `listed` read, on a file system of `kind`.
  Renamer(platform::Disk& disk, const FolderListing& listed, platform::FileSystemKind kind);

  // Looks at a picture before its first attempt: null, or why it is left as
  // it is. An empty file is no picture where the program may have left one
  // of its own (MayHoldReservations): a JPEG never is empty.
  const char* Examine(std::string_view old_path);
  // Renames old_path to new_path, each the folder, a slash and a name.
  RenameResult Rename(std::string_view old_path, std::string_view new_path);
  // Whether renames are written to the disk as the run goes.
  bool WritesThrough() const { return write_through_ != WriteThrough::kNone; }
  // How many renames wait for the open group's end.
  std::size_t Waiting() const;
  // Whether one more rename fits the open group.
  bool Room() const { return write_through_ != WriteThrough::kNamesFirst || names_first_.Room(); }
  // Writes the renames that wait to the disk and appends the result of
  // each, in the order they were made, to *results.
  void EndGroup(std::vector<RenameResult>* results);
  // Writes what the renames changed in the folder's file system to the
  // disk, where it may still be in memory: a card pulled once the run has
  // said that it is done loses nothing. 0, or the error that kept it from
  // that.
  int Finish();

 private:
  // Writes the rename just done to the disk, as write_through_ asks: now,
  // or with its group.
  RenameResult Write(const RenameResult& done);

  platform::Disk& disk_;
  std::string folder_;
  WriteThrough write_through_;
  bool looks_for_leftovers_;
  NoReplaceRename ways_;
  NamesFirst names_first_;
  CaseIndex index_;
  // The attempt's paths, kept to reuse their room.
  std::string from_, to_;
  // The picture that Examine looked at last, where it could: the one whose
  // attempts follow.
  platform::FileId picture_;
  bool known_ = false;
  // kGroupThenFolder: renames made since the folder was last written.
  std::size_t waiting_ = 0;
  std::vector<std::string> given_up_;  // scratch for the names a group gave up
};

}  // namespace stampwise

#endif  // STAMPWISE_RENAME_RENAMER_HPP
