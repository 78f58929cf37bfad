#include "rename/case_index.hpp"

#include <cstring>

#include "list/fold_case.hpp"

namespace stampwise {

namespace {

constexpr std::size_t kCountSize = sizeof(std::int32_t);

// The names asked about are short and all alike: mixed eight bytes at a
// time, a multiply and a shift each.
std::uint32_t Tag(const char* key, std::size_t width) {
  std::uint64_t h = width * 0x9E3779B97F4A7C15ull;
  std::size_t i = 0;
  for (std::uint64_t w = 0; i + 8 <= width; i += 8) {
    std::memcpy(&w, key + i, 8);
    h = (h ^ w) * 0xff51afd7ed558ccdull;
    h ^= h >> 32;
  }
  std::uint64_t w = 0;
  std::memcpy(&w, key + i, width - i);
  h = (h ^ w) * 0xc4ceb9fe1a85ec53ull;
  return static_cast<std::uint32_t>((h ^ (h >> 29)) >> 32);
}

}  // namespace

CaseIndex::Table::Table(std::size_t width) : width_(width), slots_(1024, 0) {}

const char* CaseIndex::Table::Record(std::size_t n) const {
  return &chunks_[n / kPerChunk][(n % kPerChunk) * (width_ + kCountSize)];
}

char* CaseIndex::Table::Record(std::size_t n) {
  return &chunks_[n / kPerChunk][(n % kPerChunk) * (width_ + kCountSize)];
}

CaseIndex::Table::Place CaseIndex::Table::Find(const char* key) const {
  Place place;
  place.tag = Tag(key, width_);
  std::size_t mask = slots_.size() - 1;
  for (std::size_t i = place.tag & mask;; i = (i + 1) & mask) {
    std::uint64_t s = slots_[i];
    place.slot = i;
    if (s == 0) return place;
    if (static_cast<std::uint32_t>(s >> 32) != place.tag) continue;
    std::size_t n = static_cast<std::uint32_t>(s) - 1;
    if (std::memcmp(Record(n), key, width_) == 0) {
      place.record = n;
      return place;
    }
  }
}

std::int32_t CaseIndex::Table::Count(const Place& place) const {
  std::int32_t count = 0;
  if (place.record != kMissing) std::memcpy(&count, Record(place.record) + width_, kCountSize);
  return count;
}

void CaseIndex::Table::Change(const char* key, const Place& place, int change) {
  std::int32_t count = Count(place);
  std::size_t n = place.record;
  if (n == kMissing) {
    if (change < 0) return;  // never held: nothing to take away
    std::size_t slot = place.slot;
    // Up to 7/8 full: probes compare tags, and a smaller array stays in
    // the cache between one rename call and the next.
    if ((records_ + 1) * 8 > slots_.size() * 7) {
      Grow();
      slot = Find(key).slot;
    }
    if (records_ % kPerChunk == 0) chunks_.emplace_back(kPerChunk * (width_ + kCountSize));
    n = records_++;
    std::memcpy(Record(n), key, width_);
    slots_[slot] = std::uint64_t{place.tag} << 32 | (n + 1);
  }
  count += change;
  if (count < 0) count = 0;
  std::memcpy(Record(n) + width_, &count, kCountSize);
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
  if (folded_.size() < name.size()) folded_.resize(name.size());
  FoldBytes(name.data(), name.size(), &folded_[0]);
  return folded_.data();
}

CaseIndex::Table& CaseIndex::Load(std::size_t width) {
  if (Table* table = TableFor(width)) return *table;
  if (width >= tables_.size()) tables_.resize(width + 1);
  Table table(width);
  listed_.ForEachName([&](std::string_view name) {
    if (name.size() == width) table.Change(Fold(name), +1);
  });
  table.loaded = true;
  tables_[width] = std::move(table);
  ++changes_;
  return tables_[width];
}

bool CaseIndex::Has(std::string_view name) {
  Table& table = Load(name.size());
  last_key_.resize(name.size());
  FoldBytes(name.data(), name.size(), &last_key_[0]);
  last_ = Lookup{name.size(), changes_, table.Find(last_key_.data())};
  return table.Count(last_.place) > 0;
}

void CaseIndex::AddLast() {
  Table* table = TableFor(last_.width);
  if (table == nullptr || last_key_.size() != last_.width) return;
  if (changes_ == last_.changes)
    table->Change(last_key_.data(), last_.place, +1);
  else
    table->Change(last_key_.data(), +1);
  ++changes_;
}

void CaseIndex::Remove(std::string_view name) {
  if (Table* table = TableFor(name.size())) table->Change(Fold(name), -1);
  ++changes_;
}

}  // namespace stampwise
