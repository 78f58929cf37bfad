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

  // Any call by its name in `log` ("swap", "remove", "sync", ...), made to
  // fail with this error, every time or (with `times`) the next so many.
  std::map<std::string, int> fail;
  std::map<std::string, int> times;

  std::string linked_from, linked_to, created;
  // Every call that changes or writes the disk, in order, with the names
  // it was given less their folder: "rename a (2).jpg 1.jpg", "sync Cam1/".
  std::vector<std::string> log;
  std::vector<std::string> synced;  // in order; a folder ends in a slash
  int no_replace_calls = 0, links = 0, creations = 0, folder_reads = 0, syncs = 0, folder_syncs = 0,
      file_system_syncs = 0;

  // Logs the call and gives the error it is made to fail with, or 0.
  int Call(const std::string& name, const std::string& a = "", const std::string& b = "") {
    std::string entry = name;
    for (const std::string* path : {&a, &b}) {
      if (path->empty()) continue;
      std::size_t slash = path->rfind('/');
      bool folder = slash == std::string::npos || slash + 1 == path->size();
      entry += " " + (folder ? *path : path->substr(slash + 1));
    }
    log.push_back(entry);
    auto at = fail.find(name);
    if (at == fail.end()) return 0;
    auto left = times.find(name);
    if (left != times.end() && left->second-- <= 0) return 0;
    return at->second;
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
    if (int e = fail.count("identify") != 0 ? fail["identify"] : 0) return e;
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
    ++creations;
    created = path;
    return MemoryDisk::CreateNew(path, file);
  }
  int OpenExisting(const std::string& path, platform::File* file) override {
    if (int e = Call("open", path)) return e;
    return MemoryDisk::OpenExisting(path, file);
  }
  int CreateEmpty(const std::string& path, platform::File* file) override {
    if (int e = Call("reserve", path)) return e;
    ++creations;
    created = path;
    return MemoryDisk::CreateEmpty(path, file);
  }
  int Close(platform::File file) override {
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
