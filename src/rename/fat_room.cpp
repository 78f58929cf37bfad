#include "rename/fat_room.hpp"

#include <cstdint>

namespace stampwise {

namespace {

constexpr std::size_t kSlotBytes = 32;
constexpr std::size_t kUnitsPerSlot = 13;

}  // namespace

std::size_t FatSlots(std::string_view name) {
  // UTF-16 units of a UTF-8 name: one for each character, two for one
  // outside the Basic Multilingual Plane (a four-byte sequence).
  std::size_t units = 0;
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) ++units;
    if (byte >= 0xF0) ++units;
  }
  return (units + kUnitsPerSlot - 1) / kUnitsPerSlot + 1;
}

std::size_t FatRoomAtEnd(platform::Disk& disk, const std::string& folder, std::size_t slots) {
  std::string last;
  std::uint64_t start = 0;
  if (disk.LastEntry(folder, &last, &start) != 0) return 0;
  std::uint64_t size = disk.FolderSize(folder);
  std::uint64_t end = start + FatSlots(last) * kSlotBytes;
  if (end >= size) return 0;
  return static_cast<std::size_t>((size - end) / (slots * kSlotBytes));
}

}  // namespace stampwise
