#include "platform/case_index.hpp"

#include "platform/fold_case.hpp"
#include "platform/folder.hpp"

namespace stampwise::platform {

void CaseIndex::Load(std::string_view folder) {
  if (loaded_ && folder_ == folder) return;
  folder_.assign(folder);
  loaded_ = true;
  counts_.clear();
  ForEachEntry(folder_, [this](std::string_view name) { Add(name); });
}

bool CaseIndex::Has(std::string_view name) {
  FoldInto(name, &folded_);
  return counts_.find(folded_) != counts_.end();
}

void CaseIndex::Add(std::string_view name) {
  FoldInto(name, &folded_);
  ++counts_[folded_];
}

void CaseIndex::Remove(std::string_view name) {
  FoldInto(name, &folded_);
  auto it = counts_.find(folded_);
  if (it != counts_.end() && --it->second == 0) counts_.erase(it);
}

}  // namespace stampwise::platform
