// The names of one folder with letter case folded, so that the rename can
// tell in constant time whether a name is taken in another letter case. The
// folder is read once; every rename the program makes there keeps it current.
#ifndef STAMPWISE_PLATFORM_CASE_INDEX_HPP
#define STAMPWISE_PLATFORM_CASE_INDEX_HPP

#include <string>
#include <string_view>
#include <unordered_map>

namespace stampwise::platform {

class CaseIndex {
 public:
  // Reads `folder` unless it is the folder already held. A folder that
  // cannot be read leaves the index empty: the rename itself then reports why.
  void Load(std::string_view folder);
  // Whether some name of the folder equals `name` but for letter case.
  bool Has(std::string_view name);
  void Add(std::string_view name);
  void Remove(std::string_view name);

 private:
  std::string folder_;
  bool loaded_ = false;
  // Folded name -> how many names of the folder fold to it.
  std::unordered_map<std::string, int> counts_;
  std::string folded_;  // scratch, reused on every call
};

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_CASE_INDEX_HPP
