// A file system in memory, for the tests of the program's logic: folders,
// names, files with their contents, open files and their locks, and every
// call of the Disk interface as a POSIX file system answers it. Paths are
// "Cam1/name" or "name", as the program hands them over.
#ifndef STAMPWISE_TESTS_MEMORY_DISK_HPP
#define STAMPWISE_TESTS_MEMORY_DISK_HPP

#include <cerrno>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "platform/disk.hpp"

namespace stampwise::test {

class MemoryDisk : public platform::Disk {
 public:
  MemoryDisk() { folders_.insert("."); }

  // Setting up and looking at it.
  void MakeFolder(const std::string& path) { folders_.insert(path); }
  void Put(const std::string& path, const std::string& content) {
    auto at = names_.find(path);
    if (at == names_.end()) at = names_.emplace(path, next_++).first;
    files_[at->second] = content;
  }
  // Every file of `folder` (not below it): name -> content.
  std::map<std::string, std::string> Files(const std::string& folder) const {
    std::map<std::string, std::string> files;
    for (const auto& [path, number] : names_)
      if (Parent(path) == folder) files[path.substr(folder.size() + 1)] = files_.at(number);
    return files;
  }

  platform::PathRules Rules() override { return {}; }
  int ReadFolder(const std::string& folder,
                 const std::function<void(std::string_view)>& visit) override {
    if (names_.count(folder) != 0) return ENOTDIR;
    if (folders_.count(folder) == 0) return ENOENT;
    for (const auto& [path, number] : names_) {
      std::string name = Parent(path) == folder ? path.substr(folder.size() + 1) : "";
      if (!name.empty() && name[0] != '.') visit(name);
    }
    return 0;
  }
  std::size_t FolderSize(const std::string&) override { return 0; }
  int LastEntry(const std::string&, std::string*, std::uint64_t*) override { return ENOSYS; }
  int CreateNew(const std::string& path, platform::File* file) override {
    if (Taken(path)) return EEXIST;
    if (folders_.count(Parent(path)) == 0) return ENOENT;
    Put(path, "");
    return Open(names_.at(path), file);
  }
  int CreateEmpty(const std::string& path, platform::File* file) override {
    return MemoryDisk::CreateNew(path, file);
  }
  int OpenExisting(const std::string& path, platform::File* file) override {
    auto at = names_.find(path);
    if (at == names_.end()) return folders_.count(path) != 0 ? EISDIR : ENOENT;
    return Open(at->second, file);
  }
  int Write(platform::File file, std::string_view bytes) override {
    if (open_.count(file) == 0) return EBADF;
    files_[open_[file]].append(bytes);
    return 0;
  }
  int ReadAt(platform::File file, std::uint64_t offset, char* into, std::size_t room,
             std::size_t* got) override {
    if (open_.count(file) == 0) return EBADF;
    const std::string& content = files_[open_[file]];
    *got = offset >= content.size() ? 0 : std::min<std::size_t>(room, content.size() - offset);
    if (*got > 0) std::memcpy(into, content.data() + offset, *got);
    return 0;
  }
  int Lock(platform::File file) override {
    std::uint64_t number = open_.at(file);
    for (const auto& [other, locked] : locks_)
      if (locked == number && other != file) return EBUSY;
    locks_[file] = number;
    return 0;
  }
  int LockFolder(const std::string& folder, platform::File* lock) override {
    if (folders_.count(folder) == 0) return names_.count(folder) != 0 ? ENOTDIR : ENOENT;
    for (const auto& [other, locked] : folder_locks_)
      if (locked == folder) return EBUSY;
    *lock = next_file_++;
    folder_locks_[*lock] = folder;
    return 0;
  }
  int Close(platform::File file) override {
    locks_.erase(file);
    if (folder_locks_.erase(file) != 0) return 0;
    return open_.erase(file) != 0 ? 0 : EBADF;
  }
  int Identify(platform::File file, platform::FileId* id) override {
    if (open_.count(file) == 0) return EBADF;
    *id = IdOf(open_[file]);
    return 0;
  }
  int IdentifyPath(const std::string& path, platform::FileId* id) override {
    auto at = names_.find(path);
    if (at == names_.end()) return ENOENT;
    *id = IdOf(at->second);
    return 0;
  }
  int Remove(const std::string& path) override {
    if (folders_.count(path) != 0) return EISDIR;
    return names_.erase(path) != 0 ? 0 : ENOENT;
  }
  int Replace(const std::string& from, const std::string& to) override {
    if (names_.count(from) == 0) return ENOENT;
    if (folders_.count(to) != 0) return EISDIR;
    names_[to] = names_.at(from);
    names_.erase(from);
    return 0;
  }
  int RenameNoReplace(const std::string& from, const std::string& to) override {
    if (names_.count(from) == 0) return ENOENT;
    return Taken(to) ? EEXIST : Replace(from, to);
  }
  int Exchange(const std::string& a, const std::string& b) override {
    if (names_.count(a) == 0 || names_.count(b) == 0) return ENOENT;
    std::swap(names_[a], names_[b]);
    return 0;
  }
  int Link(const std::string& from, const std::string& to) override {
    if (names_.count(from) == 0) return ENOENT;
    if (Taken(to)) return EEXIST;
    names_[to] = names_.at(from);
    return 0;
  }
  platform::FileSystemKind KindOf(const std::string&) override {
    return platform::FileSystemKind::kJournaled;
  }
  int Sync(const std::string& path) override { return Taken(path) ? 0 : ENOENT; }
  int SyncFolder(const std::string& folder) override {
    return folders_.count(folder) != 0 ? 0 : ENOENT;
  }
  int SyncFileSystem(const std::string&) override { return 0; }
  unsigned long ProcessNumber() override { return 1; }

 private:
  static std::string Parent(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
  }
  bool Taken(const std::string& path) const {
    return names_.count(path) != 0 || folders_.count(path) != 0;
  }
  int Open(std::uint64_t number, platform::File* file) {
    *file = next_file_++;
    open_[*file] = number;
    return 0;
  }
  platform::FileId IdOf(std::uint64_t number) const {
    auto content = files_.find(number);
    return {1, number, content == files_.end() ? 0 : content->second.size()};
  }

  std::set<std::string> folders_;
  std::map<std::string, std::uint64_t> names_;  // path -> file number
  std::map<std::uint64_t, std::string> files_;  // file number -> content
  std::map<platform::File, std::uint64_t> open_;
  std::map<platform::File, std::uint64_t> locks_;
  std::map<platform::File, std::string> folder_locks_;
  std::uint64_t next_ = 1;
  platform::File next_file_ = 3;
};

}  // namespace stampwise::test

#endif  // STAMPWISE_TESTS_MEMORY_DISK_HPP
