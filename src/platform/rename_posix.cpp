#include <string.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/case_index.hpp"
#include "platform/rename.hpp"
#include "platform/system_calls_posix.hpp"

namespace stampwise::platform {

namespace {

// A path's folder and name, split at its last slash once.
struct Split {
  explicit Split(std::string_view path) {
    const void* slash = memrchr(path.data(), '/', path.size());
    std::size_t at = slash == nullptr ? 0 : static_cast<const char*>(slash) - path.data();
    folder = slash == nullptr ? std::string_view(".") : path.substr(0, at);
    name = slash == nullptr ? path : path.substr(at + 1);
  }
  std::string_view folder, name;
};

// What one way of renaming gave. kNotHere sends the picture on to the next
// way; kNotOnThisDisk also turns the way off for the rest of the run.
enum class Step { kDone, kTaken, kFailed, kBothNames, kNotHere, kNotOnThisDisk };

struct Outcome {
  Step step;
  int error;
};

Outcome Failed(int error) { return {Step::kFailed, error}; }

// What the file system says when it does not offer a call at all: EINVAL
// for a flag it does not know (FUSE mounts: exFAT and FAT cards, NTFS).
bool NotOnThisDisk(int error) { return error == EOPNOTSUPP || error == ENOSYS; }

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The kernel refuses the new name when it is taken, in one step.
Outcome ExclusiveRename(SystemCalls& sys, const char* from, const char* to) {
  if (sys.RenameNoReplace(from, to) == 0) return {Step::kDone, 0};
  int error = errno;
  if (error == EEXIST) return {Step::kTaken, 0};
  if (error == EINVAL || NotOnThisDisk(error)) return {Step::kNotOnThisDisk, error};
  return Failed(error);
}

// link() fails when the new name exists, so this never replaces either.
// Only an interruption between link and unlink can leave the picture under
// both names; it is never left under none.
Outcome LinkThenUnlink(SystemCalls& sys, const char* from, const char* to) {
  if (sys.Link(from, to) != 0) {
    int error = errno;
    if (error == EEXIST) return {Step::kTaken, 0};
    if (NotOnThisDisk(error)) return {Step::kNotOnThisDisk, error};
    // EPERM: a card's file system refuses links, but so does a protected
    // picture of another user, or a folder: decide for this picture only.
    if (error == EPERM) return {Step::kNotHere, error};
    return Failed(error);
  }
  if (sys.Unlink(from) == 0) return {Step::kDone, 0};
  int error = errno;
  // Take the new name away again, but only while it is still this picture:
  // by now another file may stand there.
  struct stat old_info, new_info;
  if (sys.Lstat(from, &old_info) != 0 || sys.Lstat(to, &new_info) != 0 ||
      !SameFile(old_info, new_info))
    return Failed(error);
  if (sys.Unlink(to) != 0) return {Step::kBothNames, error};
  return Failed(error);
}

// The last resort: take the new name with an empty file of the program's
// own, created exclusively, then rename the picture over that reservation.
// Nothing but the reservation is ever replaced. An interruption between the
// two steps leaves an empty file under the new name, the picture untouched.
Outcome ReserveThenRename(SystemCalls& sys, const char* from, const char* to) {
  int fd = sys.CreateExclusive(to);
  if (fd < 0) return errno == EEXIST ? Outcome{Step::kTaken, 0} : Failed(errno);
  struct stat reserved;
  bool known = sys.Fstat(fd, &reserved) == 0;
  sys.Close(fd);
  if (sys.Rename(from, to) == 0) return {Step::kDone, 0};
  int error = errno;
  struct stat now;
  if (known && sys.Lstat(to, &now) == 0 && SameFile(now, reserved)) sys.Unlink(to);
  return Failed(error);
}

}  // namespace

struct Renamer::Impl {
  Impl(Method way, SystemCalls& calls) : method(way), sys(&calls), index(calls) {}

  Method method;
  SystemCalls* sys;
  bool flag_off = false;  // the file system refused RENAME_NOREPLACE
  bool link_off = false;  // the file system refused hard links
  CaseIndex index;
  std::string from;
  std::string to;

  Outcome Attempt();
};

Outcome Renamer::Impl::Attempt() {
  const char* f = from.c_str();
  const char* t = to.c_str();
  switch (method) {
    case Method::kExclusiveRename: return ExclusiveRename(*sys, f, t);
    case Method::kLinkThenUnlink: return LinkThenUnlink(*sys, f, t);
    case Method::kReserveThenRename: return ReserveThenRename(*sys, f, t);
    case Method::kAuto: break;
  }
  if (!flag_off) {
    Outcome o = ExclusiveRename(*sys, f, t);
    if (o.step != Step::kNotOnThisDisk) return o;
    flag_off = true;
  }
  if (!link_off) {
    Outcome o = LinkThenUnlink(*sys, f, t);
    if (o.step != Step::kNotOnThisDisk && o.step != Step::kNotHere) return o;
    if (o.step == Step::kNotOnThisDisk) link_off = true;
  }
  return ReserveThenRename(*sys, f, t);
}

Renamer::Renamer(Method method, SystemCalls* calls)
    : impl_(new Impl(method, calls != nullptr ? *calls : SystemCalls::Real())) {}
Renamer::~Renamer() = default;

RenameResult Renamer::Rename(std::string_view old_path, std::string_view new_path) {
  Impl& m = *impl_;
  Split from(old_path), to(new_path);
  int error = 0;
  if (m.index.Has(to.folder, to.name, &error)) return {RenameResult::Kind::kTaken, 0};
  // Without a complete view of the folder a twin in another letter case
  // could be missed: leave the picture rather than rename it unchecked.
  if (error != 0) return {RenameResult::Kind::kFailed, error};
  m.from.assign(old_path);
  m.to.assign(new_path);

  Outcome o = m.Attempt();
  switch (o.step) {
    case Step::kDone:
      m.index.AddLast();  // the name Has just looked up
      if (from.folder == to.folder) m.index.Remove(from.name);
      return {RenameResult::Kind::kDone, 0};
    case Step::kTaken: return {RenameResult::Kind::kTaken, 0};
    case Step::kBothNames: return {RenameResult::Kind::kBothNames, o.error};
    case Step::kNotHere:
    case Step::kNotOnThisDisk:
    case Step::kFailed: break;
  }
  return {RenameResult::Kind::kFailed, o.error};
}

}  // namespace stampwise::platform
