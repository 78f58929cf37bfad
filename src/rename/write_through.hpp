// Which file systems need each rename written to the disk before the run
// goes on, and how, and which may hold the program's own empty files: plain
// rules over the kind of file system, so that they can be read and tested
// in one place.
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
  // The new names of a group first, as empty files of the program's own,
  // written with their folder; then each picture swaps names with its own
  // and is written under the new name; then the old names, the empty files
  // now, are removed and the folder is written again.
  kNamesFirst,
};

WriteThrough WriteThroughFor(platform::FileSystemKind kind);

// Whether a folder of this kind may hold an empty file that a run of the
// program reserved a name with and left behind (killed, or a card pulled):
// then an empty file under a burst name is no picture, and is left as it
// is. A file system may hold one where some run reserves names: behind
// FUSE and where a link is refused (cards), and on FAT; and a card moves
// between systems with what a run left on it.
bool MayHoldReservations(platform::FileSystemKind kind);

}  // namespace stampwise

#endif  // STAMPWISE_RENAME_WRITE_THROUGH_HPP
