#include "rename/fat_room.hpp"

#include <cstdint>

namespace stampwise {

namespace {

constexpr std::size_t kSlotBytes = 32;
constexpr std::size_t kUnitsPerSlot = 13;

}  // namespace

// A name's UTF-16 units are never more than the bytes the system gives it
// in: one or more for each character in any character set, four for a
// pair of units in UTF-8.
std::size_t FatSlots(std::string_view name) {
  return (name.size() + kUnitsPerSlot - 1) / kUnitsPerSlot + 1;
}

std::size_t FatRoomAtEnd(platform::Disk& disk, const std::string& folder, std::size_t slots) {
  std::uint64_t end = 0;
  if (disk.EndOfEntries(folder, &end) != 0) return 0;
  std::uint64_t size = disk.FolderSize(folder);
  if (end >= size) return 0;
  return static_cast<std::size_t>((size - end) / (slots * kSlotBytes));
}

}  // namespace stampwise
