#include "console/reason.hpp"

#include <cerrno>
#include <cstring>

namespace stampwise {

namespace {

struct Words {
  int error;
  const char* text;
};

// The errors a user meets while renaming pictures on a disk or a card.
// Where the GNU C library's words are plain, they are kept, so that the
// Linux build says what it always said.
const Words kWords[] = {
    {EPERM, "Operation not permitted"},
    {ENOENT, "No such file or directory"},
    {EIO, "Input/output error"},
    {ENXIO, "No such device or address"},
    {ENOMEM, "Not enough memory"},
    {EACCES, "Permission denied"},
    {EBUSY, "The file is in use by another program"},
    {EEXIST, "File exists"},
    {EXDEV, "The new name is on another drive"},
    {ENODEV, "The drive is not ready (was the card taken out?)"},
    {ENOTDIR, "Not a directory"},
    {EISDIR, "Is a directory"},
    {EINVAL, "Invalid argument"},
    {ENFILE, "Too many open files in system"},
    {EMFILE, "Too many open files"},
    {ENOSPC, "No space left on device"},
    {EROFS, "Read-only file system"},
    {ENAMETOOLONG, "File name too long"},
    {ENOTEMPTY, "Directory not empty"},
    {EILSEQ, "The name is not a valid file name"},
    {ENETUNREACH, "The network folder cannot be reached"},
    {EOPNOTSUPP, "Operation not supported"},
};

}  // namespace

std::string Reason(int error) {
  for (const Words& w : kWords)
    if (w.error == error) return w.text;
  return std::strerror(error);
}

}  // namespace stampwise
