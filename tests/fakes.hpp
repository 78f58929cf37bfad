// A file system in memory whose calls a test can make fail, as a card's file
// system or a protected picture would, watch, and act on, as another
// program or an interrupt would.
#ifndef STAMPWISE_TESTS_FAKES_HPP
#define STAMPWISE_TESTS_FAKES_HPP

#include <cerrno>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "memory_disk.hpp"

namespace stampwise::test {

struct FakeDisk : MemoryDisk {
  platform::PathRules rules;                                             // how paths are read
  platform::FileSystemKind kind = platform::FileSystemKind::kJournaled;  // every folder's
  // Written into the file just created, as it is closed, once: another
  // program that opened the name without asking for a new file.
  std::string written_over;
  // When not empty, the names every folder read gives.
  std::vector<std::string> made_up_folder;

  // Any call made to fail with this error, every time or (with `times`) the
  // next so many, after (with `skip`) so many passed. The key is a call's
  // whole entry in `log` ("remove a (2).jpg"), or its name: those that
  // change or write the disk
  // ("rename", "swap", "reserve", "remove", "replace", "link", "create",
  // "write", "sync", "sync folder", "syncfs"), and those that only look or
  // hold ("open", "read", "read folder", "end of entries", "folder size",
  // "identify", "identify path", "lock", "lock folder", "close").
  std::map<std::string, int> fail;
  std::map<std::string, int> times;
  std::map<std::string, int> skip;
  // Every call that changes or writes the disk, in order, with the names
  // it was given less their folder ("rename a (2).jpg 1.jpg", "sync Cam1/"),
  // and "grow Cam1/" where a FAT folder grew.
  std::vector<std::string> log;
  // Called with each entry of the log before the call is made: another
  // program, an interrupt or the clock acting at that moment.
  std::function<void(const std::string&)> before;

  // The error that the call `name` (logged as `entry`) is made to fail
  // with, or 0.
  int Fails(const std::string& name, const std::string& entry = "") {
    for (const std::string& key : {entry, name}) {
      auto at = fail.find(key);
      if (key.empty() || at == fail.end()) continue;
      auto passing = skip.find(key);
      if (passing != skip.end() && passing->second-- > 0) continue;
      auto left = times.find(key);
      if (left != times.end() && left->second-- <= 0) continue;
      return at->second;
    }
    return 0;
  }
  // Logs a call that changes or writes the disk, named `name`, logged as
  // `verb` and its paths; the error it is made to fail with, or 0.
  int Call(const std::string& name, const std::string& a = "", const std::string& b = "",
           const std::string& verb = "") {
    std::string entry = verb.empty() ? name : verb;
    for (const std::string* path : {&a, &b}) {
      if (path->empty()) continue;
      std::size_t slash = path->rfind('/');
      bool folder = slash == std::string::npos || slash + 1 == path->size();
      entry += " " + (folder ? *path : path->substr(slash + 1));
    }
    if (before) before(entry);
    log.push_back(entry);
    return Fails(name, entry);
  }
  // How many calls the log holds that begin with `prefix`.
  int Count(const std::string& prefix) const {
    int n = 0;
    for (const std::string& entry : log) n += entry.rfind(prefix, 0) == 0;
    return n;
  }

  platform::PathRules Rules() override { return rules; }
  platform::FileSystemKind KindOf(const std::string&) override { return kind; }
  int ReadFolder(const std::string& folder,
                 const std::function<void(std::string_view)>& visit) override {
    if (int e = Fails("read folder")) return e;
    if (made_up_folder.empty()) return MemoryDisk::ReadFolder(folder, visit);
    for (const std::string& name : made_up_folder) visit(name);
    return 0;
  }
  std::size_t FolderSize(const std::string& folder) override {
    return Fails("folder size") != 0 ? 0 : MemoryDisk::FolderSize(folder);
  }
  int EndOfEntries(const std::string& folder, std::uint64_t* end) override {
    if (int e = Fails("end of entries")) return e;
    return MemoryDisk::EndOfEntries(folder, end);
  }
  int ReadAt(platform::File file, std::uint64_t offset, char* into, std::size_t room,
             std::size_t* got) override {
    if (int e = Fails("read")) return e;
    return MemoryDisk::ReadAt(file, offset, into, room, got);
  }
  int OpenExisting(const std::string& path, platform::File* file) override {
    if (int e = Fails("open")) return e;
    return MemoryDisk::OpenExisting(path, file);
  }
  int Identify(platform::File file, platform::FileId* id) override {
    if (int e = Fails("identify")) return e;
    return MemoryDisk::Identify(file, id);
  }
  int IdentifyPath(const std::string& path, platform::FileId* id) override {
    if (int e = Fails("identify path")) return e;
    return MemoryDisk::IdentifyPath(path, id);
  }
  int Lock(platform::File file) override {
    if (int e = Fails("lock")) return e;
    return MemoryDisk::Lock(file);
  }
  int LockFolder(const std::string& folder, platform::File* lock) override {
    if (int e = Fails("lock folder")) return e;
    return MemoryDisk::LockFolder(folder, lock);
  }
  int Close(platform::File file) override {
    if (int e = Fails("close")) return e;
    int error = MemoryDisk::Close(file);
    if (!written_over.empty() && !created_.empty()) Put(created_, written_over);
    written_over.clear();
    return error;
  }

  int Write(platform::File file, std::string_view bytes) override {
    if (int e = Call("write")) return e;
    return MemoryDisk::Write(file, bytes);
  }
  int CreateNew(const std::string& path, platform::File* file) override {
    if (int e = Call("create", path)) return e;
    created_ = path;
    return MemoryDisk::CreateNew(path, file);
  }
  int CreateEmpty(const std::string& path, platform::File* file) override {
    if (int e = Call("reserve", path)) return e;
    created_ = path;
    return MemoryDisk::CreateEmpty(path, file);
  }
  int RenameNoReplace(const std::string& from, const std::string& to) override {
    if (int e = Call("rename", from, to)) return e;
    return MemoryDisk::RenameNoReplace(from, to);
  }
  int Link(const std::string& from, const std::string& to) override {
    if (int e = Call("link", from, to)) return e;
    return MemoryDisk::Link(from, to);
  }
  int Exchange(const std::string& a, const std::string& b) override {
    if (int e = Call("swap", a, b)) return e;
    return MemoryDisk::Exchange(a, b);
  }
  int Remove(const std::string& path) override {
    if (int e = Call("remove", path)) return e;
    return MemoryDisk::Remove(path);
  }
  int Replace(const std::string& from, const std::string& to) override {
    if (int e = Call("replace", from, to)) return e;
    return MemoryDisk::Replace(from, to);
  }
  int Sync(const std::string& path) override {
    if (int e = Call("sync", path)) return e;
    return MemoryDisk::Sync(path);
  }
  int SyncFolder(const std::string& folder) override {
    if (int e = Call("sync folder", folder + "/", "", "sync")) return e;
    return MemoryDisk::SyncFolder(folder);
  }
  int SyncFileSystem(const std::string& folder) override {
    if (int e = Call("syncfs")) return e;
    return MemoryDisk::SyncFileSystem(folder);
  }

 protected:
  void Grew(const std::string& folder) override { log.push_back("grow " + folder + "/"); }

 private:
  std::string created_;
};

}  // namespace stampwise::test

#endif  // STAMPWISE_TESTS_FAKES_HPP
