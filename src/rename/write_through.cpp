#include "rename/write_through.hpp"

namespace stampwise {

WriteThrough WriteThroughFor(platform::FileSystemKind kind) {
  using Kind = platform::FileSystemKind;
  switch (kind) {
    case Kind::kJournaled: return WriteThrough::kNone;
    // Linux's exFAT writes every changed block of the card, and flushes the
    // card's cache, on a file's fsync: the new entry set, its clusters and
    // the old entry's deletion go together.
    case Kind::kExfat: return WriteThrough::kPicture;
    // FAT's fsync of a file writes only the sector with its short entry,
    // which may also hold the old entry's deletion, while the new long name
    // lies in the sector before: a cut between leaves the picture under a
    // short name only. A folder's fsync first would write the new entry
    // before its clusters. So the new name is made and written first, as an
    // empty file; the picture's fsync then only fills in its clusters.
    case Kind::kFat: return WriteThrough::kNameFirst;
    // ntfs3 keeps no journal of its own, a FUSE driver's way is unknown, and
    // so is a removable drive's file system on Windows.
    case Kind::kNtfsWithoutJournal:
    case Kind::kFuse:
    case Kind::kRemovable:
    case Kind::kUnknown: return WriteThrough::kPictureAndFolder;
  }
  return WriteThrough::kPictureAndFolder;
}

}  // namespace stampwise
