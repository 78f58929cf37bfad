// The program's main work: reads the list file again, picks out the picture
// names that carry a suffix after their stamp, and renames each picture to
// the first free stamp after its own.
#ifndef STAMPWISE_RENAME_PROCESS_LIST_HPP
#define STAMPWISE_RENAME_PROCESS_LIST_HPP

#include <cstdint>

#include "console/output.hpp"
#include "console/text_field.hpp"
#include "list/create_pics_list.hpp"
#include "platform/disk.hpp"
#include "platform/host.hpp"
#include "stamp/date_time.hpp"

namespace stampwise {

// Whether a list line names a picture to rename: "[" or "(" at position 21,
// or "-" at position 20.
bool IsSelected(const NameField& line);

// Reads exactly NFILES lines of the list file. A picture is left as it is,
// with a line that says why (console/words.hpp), when its path does not fit
// the 50-character field, when its name ends in a blank (or a dot, where
// the system drops it), when its stamp cannot be read whole or would pass
// the last one a stamp can show, when the rename fails for any reason but
// a taken name, or when more names were refused as taken than the folder
// has entries. A rename that could not be written to the disk, and a
// failed final write of the run, each get a line that says so.
// Once `host` says that an interrupt came, it stops before the next
// picture, and ends as it always does: the open group written and said,
// the run written to the disk. The renames go through `disk`, in the
// folder that `list` read. Returns how many pictures it said renamed.
long PROCESSLIST(std::int32_t NFILES, const NameField& FOLDER, std::int32_t FOLDERLEN,
                 const PicsList& list, DateTimeFields& time, OutputUnit& out, platform::Disk& disk,
                 platform::Host& host);

}  // namespace stampwise

#endif  // STAMPWISE_RENAME_PROCESS_LIST_HPP
