// One rename attempt: echo the old and the new path, rename, report success.
#ifndef STAMPWISE_RENAME_RENAME_FILE_HPP
#define STAMPWISE_RENAME_RENAME_FILE_HPP

#include <cstdint>

#include "console/text_field.hpp"
#include "rename/held_lines.hpp"
#include "rename/renamer.hpp"

namespace stampwise {

// Renames the picture at PICNAME(1:PICLEN) to FOLDER(1:FOLDERLEN) + "/" +
// STAMP + ".jpg". ISTAT says whether it was done, the new name was taken
// (in any letter case), or why it failed. The success line follows only a
// rename that is on the disk, and `lines` says it once it is; one whose
// write failed gets a line that says so.
void RENAMEFILE(const NameField& FOLDER, std::int32_t FOLDERLEN, const NameField& PICNAME,
                std::int32_t PICLEN, const StampField& STAMP, RenameResult& ISTAT, HeldLines& lines,
                Renamer& renamer);

}  // namespace stampwise

#endif  // STAMPWISE_RENAME_RENAME_FILE_HPP
