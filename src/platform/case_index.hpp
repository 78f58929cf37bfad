// The names of one folder with letter case folded, so that the rename can
// tell in constant time whether a name is taken in another letter case.
// Folding keeps the length, and the program asks about names of one length
// only, a small part of a large folder: so the index holds, for each length
// asked about, a flat table of folded names of that width, filled from the
// listing's names (or one read of the folder). Every rename the program
// makes there keeps the index current.
#ifndef STAMPWISE_PLATFORM_CASE_INDEX_HPP
#define STAMPWISE_PLATFORM_CASE_INDEX_HPP

#include <cstdint>
#include <string>
#include <string_view>
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
  // The name that Has was last asked about is now the program's: taken
  // where Has looked, without a second search. Call it before any other.
  void AddLast();
  // A name that the program took away.
  void Remove(std::string_view name);

 private:
  // Folded names of one width. The names, each with how many names of the
  // folder fold to it, lie in chunks that never move; the slots, open
  // addressing with linear probing, hold a tag of the name's hash and its
  // record number, so that a probe reads a name only when the tags agree,
  // and growing copies slots, never names. A record whose count fell to 0
  // stays, so that nothing ever moves.
  struct Table {
    static constexpr std::size_t kPerChunk = 4096;
    std::size_t width = 0;
    bool loaded = false;
    std::size_t records = 0;
    std::vector<std::uint64_t> slots;  // 0: empty; else tag << 32 | record + 1
    std::vector<std::vector<char>> chunks;

    void Reset(std::size_t name_width);
    char* Record(std::size_t n) {
      return &chunks[n / kPerChunk][(n % kPerChunk) * (width + sizeof(std::int32_t))];
    }
    // The record of `key`, or null; *slot is where it is, or would go.
    char* Find(const char* key, std::uint32_t tag, std::size_t* slot);
    void Count(const char* key, int change);
    // Count for a key whose search gave `record` (null: not held) at `slot`.
    void Change(const char* key, std::uint32_t tag, std::size_t slot, char* record, int change);
    void Grow();
  };

  int Load(std::string_view folder, std::size_t width);
  // The table for names of this width, or null when none is held.
  Table* TableFor(std::size_t width);
  const char* Fold(std::string_view name);

  // Where Has looked last; its folded name is still in folded_.
  struct Lookup {
    Table* table = nullptr;
    std::uint32_t tag = 0;
    std::size_t slot = 0;
    char* record = nullptr;
  };

  SystemCalls& sys_;
  Lookup last_;
  std::string folder_;
  std::vector<Table> tables_;  // tables_[n]: names of n characters
  std::string folded_;         // scratch, reused on every call
};

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_CASE_INDEX_HPP
