#include "list/command_processor.hpp"

#include <cerrno>

#include "console/ending.hpp"
#include "console/reason.hpp"
#include "console/words.hpp"
#include "list/fold_case.hpp"

namespace stampwise {

namespace {

std::vector<std::string_view> SplitAtBlanks(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    std::size_t start = i;
    while (i < text.size() && text[i] != ' ') ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

// The command processor's own complaint, on standard error.
void Complain(std::string_view what, int error) {
  std::string line(what);
  line.append(": ").append(Reason(error)).append("\n");
  WriteErrorLine(line);
}

// A file of the listing's own beside the list file, created exclusively,
// so that nothing already there is ever written through.
int CreateBeside(platform::Disk& disk, const std::string& target, std::string* name,
                 platform::File* file) {
  int error = EEXIST;
  for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
    *name = target + "." + std::to_string(disk.ProcessNumber()) + "-" + std::to_string(attempt) +
            ".new";
    error = disk.CreateNew(*name, file);
  }
  return error;
}

// Locks the entry `name` itself, or an empty file made under it, before
// anything is listed: a second run in this working directory then finds it
// locked at every moment of this one. *file is to be closed once the new
// list stands under the name, locked too. kLockedByAnotherRun when another
// run holds the lock; any other error (a link, a file system without
// locks, another program that holds the file without sharing it) leaves
// the name unlocked, and the listing replaces it all the same, or says why
// it cannot.
constexpr int kLockedByAnotherRun = -1;
int LockName(platform::Disk& disk, const std::string& name, platform::File* file) {
  int error = disk.OpenExisting(name, file);
  if (error == ENOENT) error = disk.CreateNew(name, file);
  if (error == EEXIST) error = disk.OpenExisting(name, file);  // another run made it just now
  if (error != 0) return error;
  // Two runs that made or opened it at once: the lock goes to one of them.
  if (disk.Lock(*file) == EBUSY) {
    (void)disk.Close(*file);
    return kLockedByAnotherRun;
  }
  return 0;
}

}  // namespace

CommandProcessor::~CommandProcessor() { Release(); }

void CommandProcessor::Release() {
  if (held_.held) (void)disk_.Close(held_.file);
  if (folder_locked_) (void)disk_.Close(folder_lock_);
  folder_locked_ = false;
  held_ = platform::HeldFile();
  held_name_.clear();
}

// The listing's lines, 64 KiB at a time: one write call for many names.
int CommandProcessor::WriteList(platform::File file) {
  constexpr std::size_t kBlock = std::size_t{1} << 16;
  std::string lines;
  lines.reserve(kBlock + 1024);
  int error = 0;
  listing_.ForEachInOrder([&](std::string_view name) {
    ++written_.lines;
    written_.bytes += name.size() + 2;
    lines.append(name).append("\r\n");
    if (lines.size() < kBlock || error != 0) return;
    error = disk_.Write(file, lines);
    lines.clear();
  });
  return error != 0 ? error : disk_.Write(file, lines);
}

// `folder` listed into `file`, the new list file `new_name` that is to
// become `target`. 1 when the folder could not be listed or none is named;
// a list that cannot be written whole (a full disk, a file size limit) is a
// failed write of the list file, not a problem with the folder.
int CommandProcessor::ListFolder(const std::string& folder, const std::string& target,
                                 const std::string& new_name, platform::File file) {
  if (folder.empty()) return 1;
  if (int error = listing_.Read(disk_, folder, new_name)) {
    Complain(folder, error);
    return 1;
  }
  // The list's own new file stands for the list file it is about to become.
  if (listing_.met_left_out() && !listing_.Holds(target)) listing_.Add(target);
  if (int write_error = WriteList(file)) {
    (void)disk_.Close(file);
    (void)disk_.Remove(new_name);
    FailIo(write_error, words::kHostErrorText, Statement::kFormattedWrite,
           UnitReport{1, words::kListFileName, written_.lines}, __FILE__, __LINE__);
  }
  return 0;
}

// dir /b FOLDER > FILE. The folder itself is locked before it is read, so
// that a run started in another working directory, or naming the folder
// another way, never renames in it at once. The list is written to a new
// file, which then replaces the entry FILE, whatever that is: a link is
// replaced itself, a named pipe is never opened.
int CommandProcessor::ListInto(const std::string& folder, const std::string& target) {
  // This run's own list of a listing before is given up: the lock is the
  // file's, and would look like another run's.
  Release();
  platform::File guard = 0;
  int guarded = LockName(disk_, target, &guard);
  if (guarded == kLockedByAnotherRun) {
    WriteErrorLine(target + ": " + words::kAnotherRun + "\n");
    return 1;
  }
  // A folder that cannot be locked otherwise is listed all the same, or its
  // listing says why not.
  int locked = folder.empty() ? ENOENT : disk_.LockFolder(folder, &folder_lock_);
  folder_locked_ = locked == 0;
  if (locked == EBUSY) {
    if (guarded == 0) (void)disk_.Close(guard);
    WriteErrorLine(folder + ": " + words::kAnotherRunInFolder + "\n");
    return 1;
  }
  std::string new_file;
  platform::File file = 0;
  if (int error = CreateBeside(disk_, target, &new_file, &file)) {
    if (guarded == 0) (void)disk_.Close(guard);
    Complain(target, error);
    return 1;
  }
  // A file system without locks still gets its list; only the warning to
  // another run is lost.
  (void)disk_.Lock(file);
  written_ = platform::HeldFile{true, file, 0, 0};
  int status = ListFolder(folder, target, new_file, file);
  // The redirect comes first, as with the command processor: a listing that
  // fails still leaves its (empty) list file in place.
  int error = disk_.Replace(new_file, target);
  // The name now stands for the new list, locked: the old one's lock can go.
  // Windows does not move a file over one that is open without sharing its
  // deletion, as the lock's own handle may be: let go of it, and move again.
  if (guarded == 0) (void)disk_.Close(guard);
  if (guarded == 0 && (error == EACCES || error == EBUSY)) error = disk_.Replace(new_file, target);
  if (error != 0) {
    (void)disk_.Close(file);
    (void)disk_.Remove(new_file);
    // Where the name could not even be opened for sharing, another program
    // holds it: say that, not the move's "access denied".
    Complain(target, guarded == EBUSY && error == EACCES ? EBUSY : error);
    return 1;
  }
  held_name_ = target;
  held_ = written_;
  return status;
}

// The list file this run holds is removed while still held, so that no
// other run can take the name in between, then released: a system that
// keeps the name of an open file (Windows) lets it go then. Where the
// removal was refused while held, it is tried once more, if the name still
// stands for the file this run held.
int CommandProcessor::Delete(const std::string& name) {
  if (!held_.held || held_name_ != name) return 1;
  int error = disk_.Remove(name);
  platform::FileId held, now;
  bool known = disk_.Identify(held_.file, &held) == 0;
  Release();
  if (error != 0 && known && disk_.IdentifyPath(name, &now) == 0 && platform::SameFile(held, now))
    error = disk_.Remove(name);
  return error == 0 ? 0 : 1;
}

// The two commands the program sends: "dir /b FOLDER > FILE", where FOLDER
// may be empty, and "del FILE".
int CommandProcessor::Run(std::string_view command) {
  std::vector<std::string_view> words = SplitAtBlanks(command);
  bool dir = words.size() >= 4 && FoldedEqual(words[0], "dir") && FoldedEqual(words[1], "/b");
  if (dir && words.size() == 5 && words[3] == ">")
    return ListInto(std::string(words[2]), std::string(words[4]));
  if (dir && words.size() == 4 && words[2] == ">") return ListInto("", std::string(words[3]));
  if (words.size() == 2 && FoldedEqual(words[0], "del")) return Delete(std::string(words[1]));
  return 1;
}

}  // namespace stampwise
