// A file system in memory, for the tests of the program's logic: folders,
// names, files with their contents, open files and their locks, and every
// call of the Disk interface as a POSIX file system answers it. Paths are
// "Cam1/name" or "name", as the program hands them over. A folder made with
// MakeFatFolder keeps its names as FAT does, in 32-byte slots (below).
//
// It is the run's host too: the interrupts, which a test raises by setting
// `noted`, and a clock that stands still until a test moves `now`.
#ifndef STAMPWISE_TESTS_MEMORY_DISK_HPP
#define STAMPWISE_TESTS_MEMORY_DISK_HPP

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/disk.hpp"
#include "platform/host.hpp"

namespace stampwise::test {

class MemoryDisk : public platform::Disk, public platform::Host {
 public:
  MemoryDisk() { folders_.insert("."); }

  // Setting up and looking at it.
  void MakeFolder(const std::string& path) { folders_.insert(path); }
  void Put(const std::string& path, const std::string& content) {
    auto at = names_.find(path);
    if (at == names_.end()) {
      at = names_.emplace(path, next_++).first;
      Enter(path);
    }
    files_[at->second] = content;
  }
  // Every file of `folder` (not below it): name -> content.
  std::map<std::string, std::string> Files(const std::string& folder) const {
    std::map<std::string, std::string> files;
    for (const auto& [path, number] : names_)
      if (Parent(path) == folder) files[path.substr(folder.size() + 1)] = files_.at(number);
    return files;
  }

  // A folder as Linux's vfat keeps it: 32-byte slots in clusters of
  // `cluster` bytes, "." and ".." in the first two; a name takes one slot
  // for every 13 characters (one a byte here) and one more, in the first
  // run of free slots that holds them; where none does, the folder grows
  // by a cluster (Grew). Its entries are read in the order of their slots.
  void MakeFatFolder(const std::string& path, std::size_t cluster) {
    MakeFolder(path);
    fat_[path] = std::vector<std::string>(cluster / 32);
    fat_[path][0] = fat_[path][1] = ".";
    cluster_slots_ = cluster / 32;
  }

  // The host: interrupts are noted from HoldInterrupts on; the end that an
  // interrupt makes is thrown as Ended.
  struct Ended {};
  bool holding = false, noted = false;
  Clock::time_point now{};
  void HoldInterrupts() override { holding = true; }
  bool Interrupted() override { return noted; }
  void NoteHangup() override { noted = noted || holding; }
  [[noreturn]] void EndInterrupted() override { throw Ended{}; }
  void ReleaseInterrupts() override {
    holding = false;
    if (noted) EndInterrupted();
  }
  Clock::time_point Now() override { return now; }

  platform::PathRules Rules() override { return {}; }
  int ReadFolder(const std::string& folder,
                 const std::function<void(std::string_view)>& visit) override {
    if (names_.count(folder) != 0) return ENOTDIR;
    if (folders_.count(folder) == 0) return ENOENT;
    for (const std::string& name : NamesIn(folder))
      if (name[0] != '.') visit(name);
    return 0;
  }
  std::size_t FolderSize(const std::string& folder) override {
    auto fat = fat_.find(folder);
    return fat == fat_.end() ? 0 : fat->second.size() * 32;
  }
  int EndOfEntries(const std::string& folder, std::uint64_t* end) override {
    auto fat = fat_.find(folder);
    if (fat == fat_.end()) return ENOSYS;
    std::size_t last = fat->second.size();
    while (fat->second[last - 1].empty()) --last;
    *end = last * 32;
    return 0;
  }
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
    if (names_.erase(path) == 0) return ENOENT;
    Leave(path);
    return 0;
  }
  int Replace(const std::string& from, const std::string& to) override {
    if (names_.count(from) == 0) return ENOENT;
    if (folders_.count(to) != 0) return EISDIR;
    if (names_.count(to) == 0) Enter(to);
    names_[to] = names_.at(from);
    names_.erase(from);
    Leave(from);
    return 0;
  }
  int RenameNoReplace(const std::string& from, const std::string& to) override {
    if (names_.count(from) == 0) return ENOENT;
    return Taken(to) ? EEXIST : MemoryDisk::Replace(from, to);
  }
  int Exchange(const std::string& a, const std::string& b) override {
    if (names_.count(a) == 0 || names_.count(b) == 0) return ENOENT;
    std::swap(names_[a], names_[b]);
    return 0;
  }
  int Link(const std::string& from, const std::string& to) override {
    if (names_.count(from) == 0) return ENOENT;
    if (Taken(to)) return EEXIST;
    Enter(to);
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

 protected:
  // A FAT folder grew by a cluster.
  virtual void Grew(const std::string& /*folder*/) {}

 private:
  static std::string Parent(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
  }
  static std::string NameOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
  }
  bool Taken(const std::string& path) const {
    return names_.count(path) != 0 || folders_.count(path) != 0;
  }
  // The names of `folder`, in the order of their slots on FAT.
  std::vector<std::string> NamesIn(const std::string& folder) const {
    std::vector<std::string> names;
    auto fat = fat_.find(folder);
    if (fat != fat_.end()) {
      for (std::size_t i = 2; i < fat->second.size(); ++i)
        if (!fat->second[i].empty() && fat->second[i] != fat->second[i - 1])
          names.push_back(fat->second[i]);
      return names;
    }
    for (const auto& [path, number] : names_)
      if (Parent(path) == folder) names.push_back(NameOf(path));
    return names;
  }
  // A name enters its FAT folder's slots, or leaves them.
  void Enter(const std::string& path) {
    auto fat = fat_.find(Parent(path));
    if (fat == fat_.end()) return;
    std::vector<std::string>& slots = fat->second;
    std::string name = NameOf(path);
    std::size_t need = 1 + (name.size() + 12) / 13, run = 0, at = 0;
    while (run < need) {
      if (at == slots.size()) {
        slots.resize(slots.size() + cluster_slots_);
        Grew(fat->first);
      }
      run = slots[at++].empty() ? run + 1 : 0;
    }
    std::fill(slots.begin() + static_cast<long>(at - need), slots.begin() + static_cast<long>(at),
              name);
  }
  void Leave(const std::string& path) {
    auto fat = fat_.find(Parent(path));
    if (fat == fat_.end()) return;
    std::string name = NameOf(path);
    for (std::string& slot : fat->second)
      if (slot == name) slot.clear();
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
  std::map<std::string, std::vector<std::string>> fat_;  // FAT folder -> its slots' names
  std::size_t cluster_slots_ = 16;
  std::uint64_t next_ = 1;
  platform::File next_file_ = 3;
};

}  // namespace stampwise::test

#endif  // STAMPWISE_TESTS_MEMORY_DISK_HPP
