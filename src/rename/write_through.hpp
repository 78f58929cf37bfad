// Which file systems need each rename written to the disk before the run
// goes on, and how: a plain rule over the kind of file system, so that it
// can be read and tested in one place.
#ifndef STAMPWISE_RENAME_WRITE_THROUGH_HPP
#define STAMPWISE_RENAME_WRITE_THROUGH_HPP

#include "platform/disk.hpp"

namespace stampwise {

enum class WriteThrough {
  kNone,              // a journal keeps every rename whole across a cut
  kPictureAndFolder,  // each rename: the picture, then the folder's entries
  // The renames of a group, then one fsync of the folder, which writes the
  // whole card and flushes it.
  kGroupThenFolder,
  // The new name first, as an empty file of the program's own, written
  // with its folder; then the picture swaps names with it and is written
  // under the new name; then the old name, the empty file now, is removed,
  // written with the next new name or at the end of the run.
  kNamesFirst,
};

// Whether renames are written through a group at a time, and said once the
// group is on the disk.
inline bool Grouped(WriteThrough way) {
  return way == WriteThrough::kGroupThenFolder || way == WriteThrough::kNamesFirst;
}

WriteThrough WriteThroughFor(platform::FileSystemKind kind);

}  // namespace stampwise

#endif  // STAMPWISE_RENAME_WRITE_THROUGH_HPP
