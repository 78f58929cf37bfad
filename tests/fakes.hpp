// A file system in memory whose calls a test can make fail, as a card's file
// system or a protected picture would, and whose syncs it can count.
#ifndef STAMPWISE_TESTS_FAKES_HPP
#define STAMPWISE_TESTS_FAKES_HPP

#include <cerrno>
#include <map>
#include <string>
#include <vector>

#include "memory_disk.hpp"

namespace stampwise::test {

struct FakeDisk : MemoryDisk {
  int no_replace_error = 0;  // the rename that refuses a taken name
  int link_error = 0;        // every link
  int link_once = 0;         // the next link only
  int unlink_old = 0;        // removing the name linked from
  int unlink_new = 0;        // removing the name linked to
  int replace_error = 0;     // the rename over a reservation
  int read_error = 0;        // every folder read
  std::string moved_on_to;   // where another run moves the picture linked from
  // Written into the file just created, as it is closed: another program
  // that opened the name without asking for a new file.
  std::string written_over;
  // When not empty, the names every folder read gives.
  std::vector<std::string> made_up_folder;

  platform::PathRules rules;                                             // how paths are read
  platform::FileSystemKind kind = platform::FileSystemKind::kJournaled;  // every folder's
  int sync_fails_from = 0;  // this picture sync and every one after fail, as on a pulled card
  int file_system_sync_error = 0;

  // Any call by its name, made to fail with this error, every time or
  // (with `times`) the next so many: as `log` names those that change or
  // write the disk ("rename", "swap", "reserve", "remove", "replace",
  // "link", "create", "write", "sync", "syncfs"), or one that only looks
  // or holds ("open", "read", "identify", "identify path", "lock",
  // "lock folder", "close").
  std::map<std::string, int> fail;
  std::map<std::string, int> times;

  std::string linked_from, linked_to, created;
  // Every call that changes or writes the disk, in order, with the names
  // it was given less their folder: "rename a (2).jpg 1.jpg", "sync Cam1/".
  std::vector<std::string> log;
  std::vector<std::string> synced;  // in order; a folder ends in a slash
  int no_replace_calls = 0, links = 0, creations = 0, folder_reads = 0, syncs = 0, folder_syncs = 0,
      file_system_syncs = 0;

  // The error a call that only looks is made to fail with, or 0.
  int Fails(const std::string& name) {
    auto at = fail.find(name);
    if (at == fail.end()) return 0;
    auto left = times.find(name);
    if (left != times.end() && left->second-- <= 0) return 0;
    return at->second;
  }
  // Logs a call that changes or writes the disk; the error it is made to
  // fail with, or 0.
  int Call(const std::string& name, const std::string& a = "", const std::string& b = "") {
    std::string entry = name;
    for (const std::string* path : {&a, &b}) {
      if (path->empty()) continue;
      std::size_t slash = path->rfind('/');
      bool folder = slash == std::string::npos || slash + 1 == path->size();
      entry += " " + (folder ? *path : path->substr(slash + 1));
    }
    log.push_back(entry);
    return Fails(name);
  }

  int ReadAt(platform::File file, std::uint64_t offset, char* into, std::size_t room,
             std::size_t* got) override {
    if (int e = Fails("read")) return e;
    return MemoryDisk::ReadAt(file, offset, into, room, got);
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
  int Write(platform::File file, std::string_view bytes) override {
    if (int e = Call("write")) return e;
    return MemoryDisk::Write(file, bytes);
  }

  int RenameNoReplace(const std::string& from, const std::string& to) override {
    if (int e = Call("rename", from, to)) return e;
    ++no_replace_calls;
    if (no_replace_error != 0) return no_replace_error;
    inner_ = true;  // the memory disk's own replace is no call of the program's
    int error = MemoryDisk::RenameNoReplace(from, to);
    inner_ = false;
    return error;
  }
  int Link(const std::string& from, const std::string& to) override {
    if (int e = Call("link", from, to)) return e;
    if (int e = link_once) return link_once = 0, e;
    if (link_error != 0) return link_error;
    linked_from = from, linked_to = to, ++links;
    return MemoryDisk::Link(from, to);
  }
  int Exchange(const std::string& a, const std::string& b) override {
    if (int e = Call("swap", a, b)) return e;
    return MemoryDisk::Exchange(a, b);
  }
  int Identify(platform::File file, platform::FileId* id) override {
    if (int e = Fails("identify")) return e;
    return MemoryDisk::Identify(file, id);
  }
  int Remove(const std::string& path) override {
    if (int e = Call("remove", path)) return e;
    // Another run moved the picture on, just before this one's unlink.
    if (!moved_on_to.empty() && path == linked_from)
      return MemoryDisk::RenameNoReplace(path, moved_on_to) == 0 ? ENOENT : EIO;
    if (unlink_old != 0 && path == linked_from) return unlink_old;
    if (unlink_new != 0 && path == linked_to) return unlink_new;
    return MemoryDisk::Remove(path);
  }
  int CreateNew(const std::string& path, platform::File* file) override {
    if (int e = Call("create", path)) return e;
    ++creations;
    created = path;
    return MemoryDisk::CreateNew(path, file);
  }
  int OpenExisting(const std::string& path, platform::File* file) override {
    if (int e = Fails("open")) return e;
    return MemoryDisk::OpenExisting(path, file);
  }
  int CreateEmpty(const std::string& path, platform::File* file) override {
    if (int e = Call("reserve", path)) return e;
    ++creations;
    created = path;
    return MemoryDisk::CreateEmpty(path, file);
  }
  int Close(platform::File file) override {
    if (int e = Fails("close")) return e;
    int error = MemoryDisk::Close(file);
    if (!written_over.empty()) Put(created, written_over);
    return error;
  }
  int Replace(const std::string& from, const std::string& to) override {
    if (inner_) return MemoryDisk::Replace(from, to);
    if (int e = Call("replace", from, to)) return e;
    return replace_error != 0 ? replace_error : MemoryDisk::Replace(from, to);
  }
  platform::PathRules Rules() override { return rules; }
  platform::FileSystemKind KindOf(const std::string&) override { return kind; }
  int Sync(const std::string& path) override {
    if (int e = Call("sync", path)) return e;
    ++syncs;
    synced.push_back(path);
    if (sync_fails_from > 0 && syncs >= sync_fails_from) return EIO;
    return MemoryDisk::Sync(path);
  }
  int SyncFolder(const std::string& folder) override {
    if (int e = Call("sync", folder + "/")) return e;
    ++folder_syncs;
    synced.push_back(folder + "/");
    return MemoryDisk::SyncFolder(folder);
  }
  int SyncFileSystem(const std::string& folder) override {
    if (int e = Call("syncfs")) return e;
    ++file_system_syncs;
    return file_system_sync_error != 0 ? file_system_sync_error
                                       : MemoryDisk::SyncFileSystem(folder);
  }

 private:
  bool inner_ = false;

 public:
  int ReadFolder(const std::string& folder,
                 const std::function<void(std::string_view)>& visit) override {
    ++folder_reads;
    if (read_error != 0) return read_error;
    if (made_up_folder.empty()) return MemoryDisk::ReadFolder(folder, visit);
    for (const std::string& name : made_up_folder) visit(name);
    return 0;
  }
};

}  // namespace stampwise::test

#endif  // STAMPWISE_TESTS_FAKES_HPP
