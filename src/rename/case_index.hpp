// The names of one folder with letter case folded, so that the rename can
// tell in constant time whether a name is taken in another letter case.
// Folding keeps the length, and the program asks about names of one length
// only, a small part of a large folder: so the index holds, for each length
// asked about, a flat table of the folded names of that width, filled from
// the listing's names (or one read of the folder). Every rename the program
// makes there keeps the index current.
#ifndef STAMPWISE_RENAME_CASE_INDEX_HPP
#define STAMPWISE_RENAME_CASE_INDEX_HPP

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "list/folder_listing.hpp"
#include "platform/disk.hpp"

namespace stampwise {

class CaseIndex {
 public:
  // `listed`, when not null, holds a folder's names as the listing read
  // them: that folder is not read again.
  CaseIndex(platform::Disk& disk, const FolderListing* listed) : disk_(disk), listed_(listed) {}

  // Makes the index hold the names of `folder` that are `width` bytes
  // long. 0, or the reason the folder was not read whole: only a complete
  // read counts, and it is tried again on the next call.
  int Load(std::string_view folder, std::size_t width);
  // Whether a name of the folder loaded last equals `name` but for letter
  // case; its width must have been loaded.
  bool Has(std::string_view name);
  // A name that the program gave, and one that it took away.
  void Add(std::string_view name);
  void Remove(std::string_view name);

 private:
  // Folded names of one width. The names, each with how many names of the
  // folder fold to it, lie in chunks that never move; the slots, open
  // addressing with linear probing, hold a tag of the name's hash and its
  // record number, so that a probe reads a name only when the tags agree,
  // and growing copies slots, never names. A record whose count fell to 0
  // stays, so that nothing ever moves.
  class Table {
   public:
    explicit Table(std::size_t width = 0);
    bool loaded = false;
    // How many names fold to `key` (already folded, `width` bytes).
    std::int32_t Count(const char* key) const;
    void Change(const char* key, int change);

   private:
    static constexpr std::size_t kPerChunk = 4096;
    const char* Record(std::size_t n) const;
    char* Record(std::size_t n);
    // The record number of `key`, or kMissing; *slot is where it is, or
    // would go.
    static constexpr std::size_t kMissing = ~std::size_t{0};
    std::size_t Find(const char* key, std::uint32_t tag, std::size_t* slot) const;
    void Grow();

    std::size_t width_;
    std::size_t records_ = 0;
    std::vector<std::uint64_t> slots_;  // 0: empty; else tag << 32 | record + 1
    std::vector<std::vector<char>> chunks_;
  };

  // The table for names of this width, or null when none is loaded.
  Table* TableFor(std::size_t width);
  const char* Fold(std::string_view name);

  platform::Disk& disk_;
  const FolderListing* listed_;
  std::string folder_;
  std::vector<Table> tables_;  // tables_[n]: names of n characters
  std::string folded_;         // scratch, reused on every call
};

}  // namespace stampwise

#endif  // STAMPWISE_RENAME_CASE_INDEX_HPP
