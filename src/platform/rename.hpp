// The rename that never replaces: it fails when the new name is taken, also
// by a name that differs from it only in letter case, as on the home
// platform. One implementation a platform (rename_posix.cpp,
// rename_windows.cpp).
#ifndef STAMPWISE_PLATFORM_RENAME_HPP
#define STAMPWISE_PLATFORM_RENAME_HPP

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace stampwise::platform {

// Result of a rename that failed because the new name is taken. Any other
// failure is the platform's own (positive) error number; success is 0.
constexpr int kNameTaken = -1;

class Renamer {
 public:
  // How the no-replace rename is carried out. kAuto takes the first way that
  // the file system supports; the others force one, so tests can reach the
  // ways that only some file systems need.
  enum class Method { kAuto, kExclusiveRename, kLinkThenUnlink, kCheckThenRename };

  explicit Renamer(Method method = Method::kAuto);
  ~Renamer();
  Renamer(const Renamer&) = delete;
  Renamer& operator=(const Renamer&) = delete;

  // Renames old_path to new_path, both in the same folder. Returns 0,
  // kNameTaken, or the platform's error number.
  int Rename(std::string_view old_path, std::string_view new_path);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Plain words for a status that Rename returned.
inline std::string DescribeRenameStatus(int status) {
  return status == kNameTaken ? "the new name is taken" : std::strerror(status);
}

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_RENAME_HPP
