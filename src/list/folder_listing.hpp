// The entries of one folder, read once, in the listing's order. The names
// lie in one buffer, so that a folder of many thousand pictures costs no
// allocation a name, and they stay for the run, so that the letter-case
// index can take them instead of reading the folder a second time.
#ifndef STAMPWISE_LIST_FOLDER_LISTING_HPP
#define STAMPWISE_LIST_FOLDER_LISTING_HPP

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "list/listing_order.hpp"
#include "platform/disk.hpp"

namespace stampwise {

class FolderListing {
 public:
  // Reads the names of `folder` that `take` accepts. A name with a line
  // feed cannot be one line of the list: it is left out. 0, or the reason
  // the folder was not read whole.
  int Read(platform::Disk& disk, const std::string& folder,
           const std::function<bool(std::string_view)>& take);
  // One more name, as if the folder had it.
  void Add(std::string_view name);
  // Puts the names in the listing's order (listing_order.hpp).
  void Sort();

  const std::string& folder() const { return folder_; }
  std::size_t size() const { return entries_.size(); }
  // The n-th name in the listing's order, once sorted.
  std::string_view operator[](std::size_t n) const { return Name(entries_[n]); }
  // Every name, in the order the folder gave them.
  void ForEachName(const std::function<void(std::string_view)>& visit) const;

 private:
  struct Entry {
    std::uint64_t head[kHeadWords];  // key bytes after the head all names share
    std::uint32_t name, length;
  };
  std::string_view Name(const Entry& e) const {
    return std::string_view(names_).substr(e.name, e.length);
  }

  std::string folder_;
  std::string names_;  // each name followed by a line feed
  std::vector<Entry> entries_;
};

}  // namespace stampwise

#endif  // STAMPWISE_LIST_FOLDER_LISTING_HPP
