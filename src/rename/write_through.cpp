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
    // FAT's fsync of a file writes only the block with its short entry. The
    // long name and the old entry's deletion can lie in other blocks of the
    // folder, which its own fsync writes; in that order, the picture is
    // found under its old name or its new one at every moment of a cut.
    case Kind::kFat:
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
