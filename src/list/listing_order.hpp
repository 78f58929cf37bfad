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
#ifndef STAMPWISE_LIST_LISTING_ORDER_HPP
#define STAMPWISE_LIST_LISTING_ORDER_HPP

#include <cstdint>
#include <string>
#include <string_view>

namespace stampwise {

// A name's sort key: bytes whose plain order is the order above, ties
// aside. A run of digits becomes one byte '0' + the number of its digits
// without leading zeros ('9' and a count byte from nine on), those digits,
// and a byte with the number of leading zeros: against any other character
// it stands where a digit would. Where a name is cut anywhere but inside or
// right after a run, the key of the whole is the key of the head, then of
// the rest. KeyHead gives the first 24 key bytes of `name` as three numbers
// that compare as the bytes do (past the key's end: 0, so equal heads prove
// nothing, and CompareForListing settles them).
constexpr std::size_t kHeadWords = 3;
void KeyHead(std::string_view name, std::uint64_t head[kHeadWords]);

// How many leading bytes, at most `limit`, `name` shares with `first` but
// for letter case, cut back so as to end neither inside nor right after a
// run of digits: a head that KeyHead may leave out and CompareForListing
// may skip for all names that share it.
std::size_t SharedHead(std::string_view first, std::string_view name, std::size_t limit);

// Negative, 0 or positive: the whole order, ties included. `skip`: a head
// of that many bytes that the two names share but for letter case, ending
// neither inside nor right after a run of digits.
int CompareForListing(std::string_view a, std::string_view b, std::size_t skip = 0);

}  // namespace stampwise

#endif  // STAMPWISE_LIST_LISTING_ORDER_HPP
