// The names of one folder with letter case folded, so that the rename can
// tell in constant time whether a name is taken in another letter case.
// Folding keeps the length, and the program asks about names of one length
// only, a small part of a large folder: so the index holds, for each length
// asked about, a flat table of the folded names of that width, filled from
// the names the listing read: the folder is read once. Every rename the
// program makes there keeps the index current.
#ifndef STAMPWISE_RENAME_CASE_INDEX_HPP
#define STAMPWISE_RENAME_CASE_INDEX_HPP

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "list/folder_listing.hpp"

namespace stampwise {

class CaseIndex {
 public:
  // `listed`: the folder's names as the listing read them.
  explicit CaseIndex(const FolderListing& listed) : listed_(listed) {}

  // Whether a name of the folder equals `name` but for letter case.
  bool Has(std::string_view name);
  // The name that Has was asked about last is now the program's. Where
  // nothing changed the index since, it goes where Has looked, without a
  // second search.
  void AddLast();
  // A name that the program took away. Only names of a width asked about
  // before are held: a width's table is filled from the listing when it is
  // first asked about. The program asks about new names, all of one width,
  // before it takes any name away.
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
    static constexpr std::size_t kMissing = ~std::size_t{0};
    // Where a search for a key ended: its record, or kMissing and the slot
    // where it would go. Valid until the table changes.
    struct Place {
      std::uint32_t tag = 0;
      std::size_t slot = 0;
      std::size_t record = kMissing;
    };

    Table() = default;  // holds nothing until loaded
    explicit Table(std::size_t width);
    bool loaded = false;

    // `key` is folded and `width` bytes long.
    Place Find(const char* key) const;
    std::int32_t Count(const Place& place) const;
    void Change(const char* key, const Place& place, int change);
    void Change(const char* key, int change) { Change(key, Find(key), change); }

   private:
    static constexpr std::size_t kPerChunk = 4096;
    const char* Record(std::size_t n) const;
    char* Record(std::size_t n);
    void Grow();

    std::size_t width_ = 0;
    std::size_t records_ = 0;
    std::vector<std::uint64_t> slots_;  // 0: empty; else tag << 32 | record + 1
    std::vector<std::vector<char>> chunks_;
  };

  // The table for names of this width, or null when none is loaded.
  Table* TableFor(std::size_t width);
  // The table for names of this width, filled from the listing the first
  // time it is asked for.
  Table& Load(std::size_t width);
  // `name` folded, in folded_.
  const char* Fold(std::string_view name);

  // Where Has looked last, for AddLast.
  struct Lookup {
    std::size_t width = 0;
    std::uint64_t changes = 0;  // changes_ at the time
    Table::Place place;
  };

  const FolderListing& listed_;
  std::vector<Table> tables_;  // tables_[n]: names of n characters
  std::string folded_;         // scratch, reused on every call
  std::string last_key_;       // the name Has was asked about last, folded
  Lookup last_;
  std::uint64_t changes_ = 0;  // of any table, counted so that last_ can tell
};

}  // namespace stampwise

#endif  // STAMPWISE_RENAME_CASE_INDEX_HPP
