// The rename that never replaces: it fails when the new name is taken, also
// by a name that differs from it only in letter case, as on the home
// platform. One implementation a platform (rename_posix.cpp,
// rename_windows.cpp).
#ifndef STAMPWISE_PLATFORM_RENAME_HPP
#define STAMPWISE_PLATFORM_RENAME_HPP

#include <memory>
#include <string>
#include <string_view>

namespace stampwise::platform {

class SystemCalls;

struct RenameResult {
  enum class Kind {
    kDone,
    kTaken,      // the new name is taken: the picture is as it was
    kFailed,     // the picture is under its old name only; `error` says why
    kBothNames,  // the picture could not leave its old name and now has both
  };
  Kind kind = Kind::kDone;
  int error = 0;  // the system's error number for kFailed and kBothNames

  bool Done() const { return kind == Kind::kDone; }
  bool Taken() const { return kind == Kind::kTaken; }
};

// Plain words for a result that is neither done nor taken.
std::string Describe(const RenameResult& result);

class Renamer {
 public:
  // How the no-replace rename is carried out. kAuto takes, for each picture,
  // the first way that the file system allows; the others force one, so
  // that tests can reach the ways that only some file systems need.
  enum class Method { kAuto, kExclusiveRename, kLinkThenUnlink, kReserveThenRename };

  // `calls` stands in for the system calls in tests; null means the real
  // ones. Only the POSIX build makes more than one kind of call.
  explicit Renamer(Method method = Method::kAuto, SystemCalls* calls = nullptr);
  ~Renamer();
  Renamer(const Renamer&) = delete;
  Renamer& operator=(const Renamer&) = delete;

  // Renames old_path to new_path, both in the same folder.
  RenameResult Rename(std::string_view old_path, std::string_view new_path);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_RENAME_HPP
