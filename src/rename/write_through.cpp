#include "rename/write_through.hpp"

namespace stampwise {

WriteThrough WriteThroughFor(platform::FileSystemKind kind) {
  using Kind = platform::FileSystemKind;
  switch (kind) {
    case Kind::kJournaled: return WriteThrough::kNone;
    // Linux's exFAT writes every changed block of the card, and flushes the
    // card's cache, on any fsync: one for a group of renames is enough, as
    // long as each picture is said renamed only after it.
    case Kind::kExfat: return WriteThrough::kGroupThenFolder;
    // Linux's vfat: a file's fsync writes only the sector with its short
    // entry, which may also hold the old entry's deletion, while the new
    // long name lies in the sector before: a cut between leaves the picture
    // under a short name only. A folder's fsync first would write the new
    // entry before its clusters. So the new names are made and written
    // first, as empty files; each picture's fsync then only fills in its
    // clusters, and the old names go last.
    case Kind::kFat: return WriteThrough::kNamesFirst;
    // ntfs3 keeps no journal of its own, a FUSE driver's way is unknown, and
    // so is that of FAT and exFAT on Windows and of a removable drive there.
    case Kind::kNtfsWithoutJournal:
    case Kind::kFuse:
    case Kind::kWindowsFat:
    case Kind::kRemovable:
    case Kind::kUnknown: return WriteThrough::kPictureAndFolder;
  }
  return WriteThrough::kPictureAndFolder;
}

// The journaled file systems are a computer's own disks, which no camera
// writes and no run reserves names on: the program renames there in one
// step, and the look would cost every picture a call. Every other kind
// holds cards, or may.
bool MayHoldReservations(platform::FileSystemKind kind) {
  return kind != platform::FileSystemKind::kJournaled;
}

}  // namespace stampwise
