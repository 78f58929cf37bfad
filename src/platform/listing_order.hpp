// The order of the folder listing: names as people read numbered names, so
// that the pictures of one second keep the order they were taken in, (2)
// before (10).
//
//   - A run of digits compares by its value; of two runs with one value the
//     shorter comes first ("2" before "02").
//   - Everything else compares as upper-case bytes.
//   - Names still equal then compare by their bytes, so the order is total.
//
// Stamps have digits of fixed widths, so names with different stamps keep
// the order of their bytes.
#ifndef STAMPWISE_PLATFORM_LISTING_ORDER_HPP
#define STAMPWISE_PLATFORM_LISTING_ORDER_HPP

#include <string>
#include <string_view>

namespace stampwise::platform {

// Appends to `key` bytes whose plain byte order is the order above, ties
// aside: a name is folded once, and the sort compares with memcmp.
void AppendOrderKey(std::string_view name, std::string* key);

// Negative, 0 or positive: the whole order, ties included.
int CompareForListing(std::string_view a, std::string_view b);

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_LISTING_ORDER_HPP
