// Which file systems need each rename written to the disk before the run
// goes on, and how: a plain rule over the kind of file system, so that it
// can be read and tested in one place.
#ifndef STAMPWISE_RENAME_WRITE_THROUGH_HPP
#define STAMPWISE_RENAME_WRITE_THROUGH_HPP

#include "platform/disk.hpp"

namespace stampwise {

enum class WriteThrough {
  kNone,              // a journal keeps every rename whole across a cut
  kPicture,           // the picture's own fsync writes the whole rename
  kPictureAndFolder,  // the picture first, then the folder's entries
  // The new name first: made as an empty file and written with its folder,
  // then the picture renamed over it and written, then the folder again.
  kNameFirst,
};

WriteThrough WriteThroughFor(platform::FileSystemKind kind);

}  // namespace stampwise

#endif  // STAMPWISE_RENAME_WRITE_THROUGH_HPP
