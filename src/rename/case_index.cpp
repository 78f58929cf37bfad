#include "rename/case_index.hpp"

#include <cstring>
#include <functional>

#include "list/fold_case.hpp"

namespace stampwise {

namespace {

constexpr std::size_t kCountSize = sizeof(std::int32_t);

std::uint32_t Tag(const char* key, std::size_t width) {
  std::uint64_t hash = std::hash<std::string_view>{}(std::string_view(key, width));
  return static_cast<std::uint32_t>(hash >> 32) ^ static_cast<std::uint32_t>(hash);
}

}  // namespace

CaseIndex::Table::Table(std::size_t width) : width_(width), slots_(1024, 0) {}

const char* CaseIndex::Table::Record(std::size_t n) const {
  return &chunks_[n / kPerChunk][(n % kPerChunk) * (width_ + kCountSize)];
}

char* CaseIndex::Table::Record(std::size_t n) {
  return &chunks_[n / kPerChunk][(n % kPerChunk) * (width_ + kCountSize)];
}

std::size_t CaseIndex::Table::Find(const char* key, std::uint32_t tag, std::size_t* slot) const {
  std::size_t mask = slots_.size() - 1;
  for (std::size_t i = tag & mask;; i = (i + 1) & mask) {
    std::uint64_t s = slots_[i];
    *slot = i;
    if (s == 0) return kMissing;
    if (static_cast<std::uint32_t>(s >> 32) != tag) continue;
    std::size_t n = static_cast<std::uint32_t>(s) - 1;
    if (std::memcmp(Record(n), key, width_) == 0) return n;
  }
}

std::int32_t CaseIndex::Table::Count(const char* key) const {
  std::size_t slot = 0;
  std::size_t n = Find(key, Tag(key, width_), &slot);
  std::int32_t count = 0;
  if (n != kMissing) std::memcpy(&count, Record(n) + width_, kCountSize);
  return count;
}

void CaseIndex::Table::Change(const char* key, int change) {
  std::uint32_t tag = Tag(key, width_);
  std::size_t slot = 0;
  std::size_t n = Find(key, tag, &slot);
  std::int32_t count = 0;
  char* record = nullptr;
  if (n != kMissing) {
    record = Record(n);
    std::memcpy(&count, record + width_, kCountSize);
  } else {
    if (change < 0) return;  // never held: nothing to take away
    // Up to 7/8 full: probes compare tags, and a smaller array stays in
    // the cache between one rename call and the next.
    if ((records_ + 1) * 8 > slots_.size() * 7) {
      Grow();
      Find(key, tag, &slot);
    }
    if (records_ % kPerChunk == 0) chunks_.emplace_back(kPerChunk * (width_ + kCountSize));
    record = Record(records_);
    std::memcpy(record, key, width_);
    slots_[slot] = std::uint64_t{tag} << 32 | (records_ + 1);
    ++records_;
  }
  count += change;
  if (count < 0) count = 0;
  std::memcpy(record + width_, &count, kCountSize);
}

void CaseIndex::Table::Grow() {
  std::vector<std::uint64_t> old = std::move(slots_);
  slots_.assign(old.size() * 2, 0);
  std::size_t mask = slots_.size() - 1;
  for (std::uint64_t s : old) {
    if (s == 0) continue;
    std::size_t i = (s >> 32) & mask;
    while (slots_[i] != 0) i = (i + 1) & mask;
    slots_[i] = s;
  }
}

CaseIndex::Table* CaseIndex::TableFor(std::size_t width) {
  return width < tables_.size() && tables_[width].loaded ? &tables_[width] : nullptr;
}

const char* CaseIndex::Fold(std::string_view name) {
  folded_.resize(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) folded_[i] = FoldByte(name[i]);
  return folded_.data();
}

int CaseIndex::Load(std::string_view folder, std::size_t width) {
  if (folder_ != folder) {
    folder_.assign(folder);
    tables_.clear();
  }
  if (TableFor(width) != nullptr) return 0;
  if (width >= tables_.size()) tables_.resize(width + 1);
  Table table(width);
  auto count = [&](std::string_view name) {
    if (name.size() == width) table.Change(Fold(name), +1);
  };
  int error = 0;
  if (listed_ != nullptr && listed_->folder() == folder)
    listed_->ForEachName(count);
  else
    error = disk_.ReadFolder(folder_, count);
  // A part of the folder is no view of it: only a complete read counts.
  if (error != 0) return error;
  table.loaded = true;
  tables_[width] = std::move(table);
  return 0;
}

bool CaseIndex::Has(std::string_view name) {
  Table* table = TableFor(name.size());
  return table != nullptr && table->Count(Fold(name)) > 0;
}

void CaseIndex::Add(std::string_view name) {
  if (Table* table = TableFor(name.size())) table->Change(Fold(name), +1);
}

void CaseIndex::Remove(std::string_view name) {
  if (Table* table = TableFor(name.size())) table->Change(Fold(name), -1);
}

}  // namespace stampwise
