#include "platform/case_index.hpp"

#include <cstring>

#include "platform/fold_case.hpp"
#include "platform/system_calls_posix.hpp"

namespace stampwise::platform {

namespace {

// Eight bytes at a time: the names asked about are short and all alike.
std::uint64_t Hash(const char* key, std::size_t width) {
  std::uint64_t h = width * 0x9E3779B97F4A7C15ull;
  std::size_t i = 0;
  for (; i + 8 <= width; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, key + i, 8);
    h = (h ^ w) * 0xff51afd7ed558ccdull;
    h ^= h >> 32;
  }
  std::uint64_t w = 0;
  std::memcpy(&w, key + i, width - i);
  h = (h ^ w) * 0xc4ceb9fe1a85ec53ull;
  return h ^ (h >> 29);
}

std::uint32_t Tag(const char* key, std::size_t width) {
  return static_cast<std::uint32_t>(Hash(key, width) >> 32);
}

}  // namespace

void CaseIndex::Table::Reset(std::size_t name_width) {
  *this = Table();
  width = name_width;
  slots.assign(1024, 0);
}

char* CaseIndex::Table::Find(const char* key, std::uint32_t tag, std::size_t* slot) {
  std::size_t mask = slots.size() - 1;
  for (std::size_t i = tag & mask;; i = (i + 1) & mask) {
    std::uint64_t s = slots[i];
    if (s == 0) {
      *slot = i;
      return nullptr;
    }
    if (static_cast<std::uint32_t>(s >> 32) == tag) {
      char* record = Record(static_cast<std::uint32_t>(s) - 1);
      if (std::memcmp(record, key, width) == 0) {
        *slot = i;
        return record;
      }
    }
  }
}

void CaseIndex::Table::Count(const char* key, int change) {
  std::uint32_t tag = Tag(key, width);
  std::size_t slot;
  Change(key, tag, slot, Find(key, tag, &slot), change);
}

void CaseIndex::Table::Change(const char* key, std::uint32_t tag, std::size_t slot, char* record,
                              int change) {
  std::int32_t count = 0;
  if (record == nullptr) {
    if (change < 0) return;  // never held: nothing to take away
    // Up to 7/8 full: probes compare tags, and a smaller array stays in
    // the cache between one rename call and the next.
    if ((records + 1) * 8 > slots.size() * 7) {
      Grow();
      Find(key, tag, &slot);
    }
    if (records % kPerChunk == 0)
      chunks.emplace_back(kPerChunk * (width + sizeof(std::int32_t)));
    record = Record(records);
    std::memcpy(record, key, width);
    slots[slot] = std::uint64_t{tag} << 32 | (records + 1);
    ++records;
  } else {
    std::memcpy(&count, record + width, sizeof count);
  }
  count += change;
  if (count < 0) count = 0;
  std::memcpy(record + width, &count, sizeof count);
}

void CaseIndex::Table::Grow() {
  std::vector<std::uint64_t> old = std::move(slots);
  slots.assign(old.size() * 2, 0);
  std::size_t mask = slots.size() - 1;
  for (std::uint64_t s : old) {
    if (s == 0) continue;
    std::size_t i = (s >> 32) & mask;
    while (slots[i] != 0) i = (i + 1) & mask;
    slots[i] = s;
  }
}

CaseIndex::Table* CaseIndex::TableFor(std::size_t width) {
  return width < tables_.size() && tables_[width].loaded ? &tables_[width] : nullptr;
}

const char* CaseIndex::Fold(std::string_view name) {
  if (folded_.size() < name.size()) folded_.resize(name.size());
  FoldBytes(name.data(), name.size(), folded_.data());
  return folded_.data();
}

int CaseIndex::Load(std::string_view folder, std::size_t width) {
  if (folder_ != folder) {
    folder_.assign(folder);
    tables_.clear();
  }
  if (TableFor(width) != nullptr) return 0;
  if (width >= tables_.size()) tables_.resize(width + 1);
  Table& table = tables_[width];
  table.Reset(width);
  int error = sys_.ReadFolder(folder_, [&](std::string_view name) {
    if (name.size() == width) table.Count(Fold(name), +1);
  });
  // A part of the folder is no view of it: only a complete read counts.
  table.loaded = error == 0;
  if (error != 0) table = Table();
  return error;
}

bool CaseIndex::Has(std::string_view folder, std::string_view name, int* error) {
  *error = Load(folder, name.size());
  last_ = Lookup();
  if (*error != 0) return false;
  Table& table = tables_[name.size()];
  const char* key = Fold(name);
  last_ = Lookup{&table, Tag(key, table.width), 0, nullptr};
  last_.record = table.Find(key, last_.tag, &last_.slot);
  std::int32_t count = 0;
  if (last_.record != nullptr) std::memcpy(&count, last_.record + table.width, sizeof count);
  return count > 0;
}

void CaseIndex::AddLast() {
  if (last_.table != nullptr)
    last_.table->Change(folded_.data(), last_.tag, last_.slot, last_.record, +1);
  last_ = Lookup();
}

void CaseIndex::Remove(std::string_view name) {
  if (Table* table = TableFor(name.size())) table->Count(Fold(name), -1);
}

}  // namespace stampwise::platform
