#include "list/listing_order.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "fakes.hpp"
#include "list/folder_listing.hpp"

namespace stampwise {
namespace {

// The listing sorts by 24 key bytes after the head that all names share,
// and compares whole names only where those tie: for any folder it must
// give the order that CompareForListing alone gives.
TEST(ListingOrder, SortKeysGiveTheOrderOfTheWholeComparison) {
  std::mt19937 random(20261208);
  const std::string alphabet = "0000123456789aAzZ_-. ()[]\xc3\xbc";
  const std::vector<std::string> heads = {"", "2015-05-0", "2015-05-03 10-20-3", "IMG_00"};
  for (int folder = 0; folder < 200; ++folder) {
    test::FakeDisk disk;
    std::string head = heads[folder % heads.size()];
    for (int n = 0; n < 60; ++n) {
      std::string name = head;
      std::size_t length = random() % (n % 7 == 0 ? 40 : 8);
      for (std::size_t i = 0; i < length; ++i) name += alphabet[random() % alphabet.size()];
      if (!name.empty()) disk.made_up_folder.push_back(name);
    }
    FolderListing listing;
    ASSERT_EQ(listing.Read(disk, "Cam1"), 0);
    std::vector<std::string_view> sorted;
    listing.ForEachInOrder([&](std::string_view name) { sorted.push_back(name); });

    std::vector<std::string> plain = disk.made_up_folder;
    std::sort(plain.begin(), plain.end(), [](const std::string& a, const std::string& b) {
      return CompareForListing(a, b) < 0;
    });
    ASSERT_EQ(sorted.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i)
      ASSERT_EQ(sorted[i], plain[i]) << "folder " << folder << ", place " << i;
  }
}

}  // namespace
}  // namespace stampwise
