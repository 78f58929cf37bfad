// The names of the folder that the listing read last, kept for the rest of
// the run, so that the letter-case index takes them instead of reading the
// folder a second time: a large folder on a slow card is read once.
//
// What the index needs are the names the program may give: time stamps
// with ".jpg". Those are never hidden and never hold a line feed, so the
// names the listing shows are enough.
#ifndef STAMPWISE_PLATFORM_KEPT_LISTING_HPP
#define STAMPWISE_PLATFORM_KEPT_LISTING_HPP

#include <functional>
#include <string>
#include <string_view>

namespace stampwise::platform {

// `names`: each name followed by a line feed, as the listing read them.
void KeepListing(std::string_view folder, std::string names);

// Calls `visit` with each kept name of `folder`. False when no listing of
// that folder is kept.
bool VisitKeptListing(std::string_view folder,
                      const std::function<void(std::string_view)>& visit);

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_KEPT_LISTING_HPP
