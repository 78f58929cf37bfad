// Room in a FAT folder. FAT keeps each name in 32-byte slots, one for its
// short entry and one for each 13 UTF-16 units of its long name, and puts a
// new name in the first run of free slots that holds it; where none does,
// the folder grows by a cluster, and a cut while the kernel writes that
// growth leaves the folder unreadable until the card is repaired. So the
// new names of a group of renames must fit in the room the folder has.
#ifndef STAMPWISE_RENAME_FAT_ROOM_HPP
#define STAMPWISE_RENAME_FAT_ROOM_HPP

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/disk.hpp"

namespace stampwise {

// The slots a name takes, counting a long name for every name and a
// character for every byte: never fewer than FAT gives it, whatever the
// character set the card was mounted with.
std::size_t FatSlots(std::string_view name);

// How many names of `slots` slots fit past the last entry of `folder`,
// before it would grow: 0 where the system does not say where its entries
// end.
std::size_t FatRoomAtEnd(platform::Disk& disk, const std::string& folder, std::size_t slots);

}  // namespace stampwise

#endif  // STAMPWISE_RENAME_FAT_ROOM_HPP
