#include "rename/renamer.hpp"

#include "console/words.hpp"

namespace stampwise {

using Kind = RenameResult::Kind;

Renamer::Renamer(platform::Disk& disk, const FolderListing& listed, platform::FileSystemKind kind)
    : disk_(disk),
      folder_(listed.folder()),
      write_through_(WriteThroughFor(kind)),
      looks_for_leftovers_(MayHoldReservations(kind)),
      ways_(disk),
      names_first_(disk, listed.folder()),
      index_(listed) {}

// Elsewhere the look would cost every picture a call.
const char* Renamer::Examine(std::string_view old_path) {
  known_ = false;
  if (!looks_for_leftovers_) return nullptr;
  from_.assign(old_path);
  known_ = disk_.IdentifyPath(from_, &picture_) == 0;
  if (known_ && picture_.plain && picture_.size == 0) return words::kEmptyFile;
  return nullptr;
}

RenameResult Renamer::Rename(std::string_view old_path, std::string_view new_path) {
  std::string_view old_name = old_path.substr(folder_.size() + 1);
  std::string_view new_name = new_path.substr(folder_.size() + 1);
  if (index_.Has(new_name)) return {Kind::kTaken, 0};
  from_.assign(old_path);
  to_.assign(new_path);
  RenameResult result = write_through_ == WriteThrough::kNamesFirst
                            ? names_first_.Reserve(from_, to_, known_ ? &picture_ : nullptr)
                            : Write(ways_.Rename(from_, to_));
  if (result.Done()) {
    index_.AddLast();
    index_.Remove(old_name);
  }
  return result;
}

// A file system without a journal may write the new name before the
// picture's clusters are entered under it: written now, before the next
// rename, the picture is found under one name or the other.
RenameResult Renamer::Write(const RenameResult& done) {
  if (done.kind != Kind::kDone || write_through_ == WriteThrough::kNone) return done;
  if (write_through_ == WriteThrough::kGroupThenFolder) {
    ++waiting_;
    return {Kind::kPending, 0};
  }
  int error = disk_.Sync(to_);
  if (error == 0) error = disk_.SyncFolder(folder_);
  return error == 0 ? done : RenameResult{Kind::kNotWritten, error};
}

std::size_t Renamer::Waiting() const {
  return write_through_ == WriteThrough::kNamesFirst ? names_first_.Waiting() : waiting_;
}

void Renamer::EndGroup(std::vector<RenameResult>* results) {
  if (write_through_ == WriteThrough::kNamesFirst) {
    given_up_.clear();
    names_first_.End(results, &given_up_);
    for (const std::string& name : given_up_) index_.Remove(name);
    return;
  }
  if (waiting_ == 0) return;
  // Linux's exFAT writes every changed block of the card, and flushes it,
  // on the folder's fsync.
  int error = disk_.SyncFolder(folder_);
  results->resize(results->size() + waiting_,
                  error == 0 ? RenameResult{} : RenameResult{Kind::kNotWritten, error});
  waiting_ = 0;
}

// syncfs writes what is in memory, but on FAT and exFAT it leaves the
// card's own cache alone; the folder's fsync flushes that too.
int Renamer::Finish() {
  if (write_through_ == WriteThrough::kNone) return 0;
  if (int error = disk_.SyncFileSystem(folder_)) return error;
  return disk_.SyncFolder(folder_);
}

}  // namespace stampwise
