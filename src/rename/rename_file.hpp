// One rename attempt: echo the old and the new path, rename, report success.
#ifndef STAMPWISE_RENAME_RENAME_FILE_HPP
#define STAMPWISE_RENAME_RENAME_FILE_HPP

#include <cstdint>
#include <string_view>

#include "console/output.hpp"
#include "console/text_field.hpp"
#include "rename/no_replace_rename.hpp"

namespace stampwise {

// A line that says a rename, or the run's renames, may not be on the disk:
// " Not written to the disk: PATH: REASON; CONSEQUENCE".
void ReportNotWritten(OutputUnit& out, std::string_view path, int error,
                      std::string_view consequence);

// Renames the picture at PICNAME(1:PICLEN) to FOLDER(1:FOLDERLEN) + "/" +
// STAMP + ".jpg". ISTAT says whether it was done, the new name was taken
// (in any letter case), or why it failed. The success line follows only a
// rename that is on the disk; one whose write failed gets a line that says so.
void RENAMEFILE(const NameField& FOLDER, std::int32_t FOLDERLEN, const NameField& PICNAME,
                std::int32_t PICLEN, const StampField& STAMP, RenameResult& ISTAT, OutputUnit& out,
                Renamer& renamer);

}  // namespace stampwise

#endif  // STAMPWISE_RENAME_RENAME_FILE_HPP
