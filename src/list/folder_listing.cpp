#include "list/folder_listing.hpp"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace stampwise {

int FolderListing::Read(platform::Disk& disk, const std::string& folder,
                        std::string_view leave_out) {
  folder_ = folder;
  names_.clear();
  with_line_feed_ = 0;
  met_left_out_ = false;
  // Room for the names at once where the folder's size tells how much:
  // growing copies them, and every copy touches fresh memory.
  names_.reserve(std::min<std::size_t>(disk.FolderSize(folder), std::size_t{64} << 20));
  return disk.ReadFolder(folder, [&](std::string_view name) {
    if (name.find('\n') != std::string_view::npos)
      ++with_line_feed_;
    else if (name == leave_out)
      met_left_out_ = true;
    else
      Add(name);
  });
}

bool FolderListing::Holds(std::string_view name) const {
  bool held = false;
  ForEachName([&](std::string_view n) { held = held || n == name; });
  return held;
}

void FolderListing::Add(std::string_view name) { names_.append(name).push_back('\n'); }

namespace {

// 32 bytes a name: for a large folder the entries take more room than the
// names themselves.
struct Entry {
  std::uint64_t head[kHeadWords];  // key bytes after the head all names share
  std::uint32_t at, length;        // the name's place in the names
};

}  // namespace

// The names of one folder share a long head (a year and a month): it is set
// aside, and the sort compares the 24 key bytes after it as three numbers,
// the rest of the names only where those tie.
void FolderListing::ForEachInOrder(const std::function<void(std::string_view)>& visit) const {
  std::vector<Entry> entries;
  entries.reserve(static_cast<std::size_t>(std::count(names_.begin(), names_.end(), '\n')));
  ForEachName([&](std::string_view name) {
    entries.push_back(Entry{{},
                            static_cast<std::uint32_t>(name.data() - names_.data()),
                            static_cast<std::uint32_t>(name.size())});
  });
  if (entries.empty()) return;
  auto name_of = [this](const Entry& e) { return std::string_view(names_).substr(e.at, e.length); };
  std::string_view first = name_of(entries[0]);
  std::size_t shared = first.size();
  for (const Entry& e : entries) shared = SharedHead(first, name_of(e), shared);
  for (Entry& e : entries) KeyHead(name_of(e).substr(shared), e.head);
  std::sort(entries.begin(), entries.end(), [&](const Entry& x, const Entry& y) {
    for (std::size_t w = 0; w < kHeadWords; ++w)
      if (x.head[w] != y.head[w]) return x.head[w] < y.head[w];
    return CompareForListing(name_of(x), name_of(y), shared) < 0;
  });
  for (const Entry& e : entries) visit(name_of(e));
}

}  // namespace stampwise
