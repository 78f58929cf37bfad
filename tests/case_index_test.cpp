#include "rename/case_index.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <unordered_map>

#include "fakes.hpp"
#include "list/fold_case.hpp"

namespace stampwise {
namespace {

std::string Folded(std::string name) {
  for (char& c : name) c = FoldByte(c);
  return name;
}

// The flat tables against a plain map of folded names and their counts,
// under a random run of the index's operations: short names that meet
// again and again, long ones that make the table grow.
TEST(CaseIndex, AnswersAsAMapOfFoldedNames) {
  std::mt19937 random(7);
  auto name_of_width = [&](std::size_t width) {
    std::string name;
    for (std::size_t i = 0; i < width; ++i) name += "aAbB0"[random() % 5];
    return name;
  };
  test::FakeDisk disk;
  std::unordered_map<std::string, int> model;
  for (int n = 0; n < 3000; ++n) {
    std::string name = name_of_width(n % 3 == 0 ? 3 : 9);
    disk.made_up_folder.push_back(name);
    ++model[Folded(name)];
  }
  FolderListing listed;
  ASSERT_EQ(listed.Read(disk, "Cam1"), 0);
  CaseIndex index(listed);
  // Names are taken away only from widths asked about before.
  index.Has(name_of_width(3));
  index.Has(name_of_width(9));
  for (int step = 0; step < 20000; ++step) {
    std::string name = name_of_width(random() % 2 == 0 ? 3 : 9);
    std::string other = name_of_width(name.size());
    int& count = model[Folded(name)];
    int& other_count = model[Folded(other)];
    switch (random() % 4) {
      case 0: ASSERT_EQ(index.Has(name), count > 0) << name; break;
      case 1: index.Remove(name), count = count > 0 ? count - 1 : 0; break;
      case 2:  // added where Has looked
        ASSERT_EQ(index.Has(name), count > 0) << name;
        index.AddLast(), ++count;
        break;
      case 3:  // the index changed in between: searched again
        ASSERT_EQ(index.Has(name), count > 0) << name;
        index.Remove(other), other_count = other_count > 0 ? other_count - 1 : 0;
        index.AddLast(), ++count;
        break;
    }
  }
}

}  // namespace
}  // namespace stampwise
