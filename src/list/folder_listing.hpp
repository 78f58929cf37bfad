// The entries of one folder, read once, in the listing's order. The names
// lie in one buffer, so that a folder of many thousand pictures costs no
// allocation a name, and they stay for the run, so that the letter-case
// index can take them instead of reading the folder a second time.
#ifndef STAMPWISE_LIST_FOLDER_LISTING_HPP
#define STAMPWISE_LIST_FOLDER_LISTING_HPP

#include <functional>
#include <string>
#include <string_view>

#include "list/listing_order.hpp"
#include "platform/disk.hpp"

namespace stampwise {

class FolderListing {
 public:
  // Reads the names of `folder` but `leave_out`. A name with a line feed
  // cannot be one line of the list: it is left out too. 0, or the reason
  // the folder was not read whole.
  int Read(platform::Disk& disk, const std::string& folder, std::string_view leave_out = {});
  // Whether the last Read met `leave_out`, and whether it holds `name`.
  bool met_left_out() const { return met_left_out_; }
  bool Holds(std::string_view name) const;
  // One more name, as if the folder had it.
  void Add(std::string_view name);

  const std::string& folder() const { return folder_; }
  // How many names the last Read left out for a line feed.
  std::size_t with_line_feed() const { return with_line_feed_; }
  // Every name, in the order the folder gave them.
  template <typename Visit>
  void ForEachName(Visit&& visit) const {
    for (std::size_t at = 0; at < names_.size();) {
      std::size_t end = names_.find('\n', at);
      visit(std::string_view(names_).substr(at, end - at));
      at = end + 1;
    }
  }
  // Every name, in the listing's order (listing_order.hpp). The order is
  // made for this call only: the run keeps the names, not their keys.
  void ForEachInOrder(const std::function<void(std::string_view)>& visit) const;

 private:
  std::string folder_;
  std::string names_;  // each name followed by a line feed
  std::size_t with_line_feed_ = 0;
  bool met_left_out_ = false;
};

}  // namespace stampwise

#endif  // STAMPWISE_LIST_FOLDER_LISTING_HPP
