#include "platform/case_index.hpp"

#include "platform/fold_case.hpp"
#include "platform/system_calls_posix.hpp"

namespace stampwise::platform {

int CaseIndex::Load(std::string_view folder, std::size_t length) {
  if (folder_ != folder) {
    folder_.assign(folder);
    lengths_.clear();
    counts_.clear();
  }
  if (length < lengths_.size() && lengths_[length]) return 0;
  if (length >= lengths_.size()) lengths_.resize(length + 1, false);
  lengths_[length] = true;
  int error = sys_.ReadFolder(folder_, [this, length](std::string_view name) {
    if (name.size() == length) Add(name);
  });
  if (error != 0) {
    // A part of the folder is no view of it: forget that part.
    lengths_[length] = false;
    for (auto it = counts_.begin(); it != counts_.end();)
      it = it->first.size() == length ? counts_.erase(it) : std::next(it);
  }
  return error;
}

bool CaseIndex::Has(std::string_view folder, std::string_view name, int* error) {
  *error = Load(folder, name.size());
  if (*error != 0) return false;
  FoldInto(name, &folded_);
  return counts_.find(folded_) != counts_.end();
}

void CaseIndex::Add(std::string_view name) {
  if (name.size() >= lengths_.size() || !lengths_[name.size()]) return;
  FoldInto(name, &folded_);
  ++counts_[folded_];
}

void CaseIndex::Remove(std::string_view name) {
  if (name.size() >= lengths_.size() || !lengths_[name.size()]) return;
  FoldInto(name, &folded_);
  auto it = counts_.find(folded_);
  if (it != counts_.end() && --it->second == 0) counts_.erase(it);
}

}  // namespace stampwise::platform
