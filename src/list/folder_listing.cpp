#include "list/folder_listing.hpp"

#include <algorithm>

namespace stampwise {

int FolderListing::Read(platform::Disk& disk, const std::string& folder,
                        const std::function<bool(std::string_view)>& take) {
  folder_ = folder;
  names_.clear();
  entries_.clear();
  // Room for the names at once where the folder's size tells how much:
  // growing copies them, and every copy touches fresh memory.
  names_.reserve(std::min<std::size_t>(disk.FolderSize(folder), std::size_t{64} << 20));
  return disk.ReadFolder(folder, [&](std::string_view name) {
    if (name.find('\n') == std::string_view::npos && take(name)) Add(name);
  });
}

void FolderListing::Add(std::string_view name) { names_.append(name).push_back('\n'); }

void FolderListing::ForEachName(const std::function<void(std::string_view)>& visit) const {
  for (std::size_t at = 0; at < names_.size();) {
    std::size_t end = names_.find('\n', at);
    visit(std::string_view(names_).substr(at, end - at));
    at = end + 1;
  }
}

// The names of one folder share a long head (a year and a month): it is set
// aside, and the sort compares the 24 key bytes after it as three numbers,
// the rest of the names only where those tie.
void FolderListing::Sort() {
  entries_.clear();
  entries_.reserve(static_cast<std::size_t>(std::count(names_.begin(), names_.end(), '\n')));
  for (std::size_t at = 0; at < names_.size();) {
    std::size_t end = names_.find('\n', at);
    entries_.push_back(
        Entry{{}, static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(end - at)});
    at = end + 1;
  }
  if (entries_.empty()) return;
  std::string_view first = Name(entries_[0]);
  std::size_t shared = first.size();
  for (const Entry& e : entries_) shared = SharedHead(first, Name(e), shared);
  for (Entry& e : entries_) KeyHead(Name(e).substr(shared), e.head);
  std::sort(entries_.begin(), entries_.end(), [this, shared](const Entry& x, const Entry& y) {
    for (std::size_t w = 0; w < kHeadWords; ++w)
      if (x.head[w] != y.head[w]) return x.head[w] < y.head[w];
    return CompareForListing(Name(x), Name(y), shared) < 0;
  });
}

}  // namespace stampwise
