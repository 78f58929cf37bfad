// The names of one folder with letter case folded, so that the rename can
// tell in constant time whether a name is taken in another letter case. The
// folder is read once for each length of name asked about (folding keeps the
// length), and only names of that length are kept: the program asks about
// names of one length only, a small part of a large folder. Every rename the
// program makes there keeps the index current.
#ifndef STAMPWISE_PLATFORM_CASE_INDEX_HPP
#define STAMPWISE_PLATFORM_CASE_INDEX_HPP

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace stampwise::platform {

class SystemCalls;

class CaseIndex {
 public:
  explicit CaseIndex(SystemCalls& sys) : sys_(sys) {}

  // Whether some name of `folder` equals `name` but for letter case. When
  // the folder cannot be read whole, *error is set to the reason and the
  // answer is no: only a complete read counts, and it is tried again on the
  // next call.
  bool Has(std::string_view folder, std::string_view name, int* error);
  // A name that the program gave, or took away.
  void Add(std::string_view name);
  void Remove(std::string_view name);

 private:
  int Load(std::string_view folder, std::size_t length);

  SystemCalls& sys_;
  std::string folder_;
  std::vector<bool> lengths_;  // lengths_[n]: names of length n are held
  // Folded name -> how many names of the folder fold to it.
  std::unordered_map<std::string, int> counts_;
  std::string folded_;  // scratch, reused on every call
};

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_CASE_INDEX_HPP
