#include "rename/rename_file.hpp"

#include <string>

#include "console/reason.hpp"
#include "console/words.hpp"

namespace stampwise {

void ReportNotWritten(OutputUnit& out, std::string_view path, int error,
                      std::string_view consequence) {
  std::string line = words::kNotWritten;
  line.append(path).append(": ").append(Reason(error)).append("; ").append(consequence);
  out.ListRecord(line);
}

void RENAMEFILE(const NameField& FOLDER, std::int32_t FOLDERLEN, const NameField& PICNAME,
                std::int32_t PICLEN, const StampField& STAMP, RenameResult& ISTAT, OutputUnit& out,
                Renamer& renamer) {
  NameField NEWNAME;
  NEWNAME.Join({FOLDER.Piece(1, FOLDERLEN), "/", STAMP.View(), ".jpg"});
  std::int32_t NEWLEN = NEWNAME.TrimmedLength();

  out.ListRecord(PICNAME.Piece(1, PICLEN));
  out.ListRecord(NEWNAME.Piece(1, NEWLEN));
  ISTAT = renamer.Rename(FOLDER.Piece(1, FOLDERLEN), PICNAME.Piece(1, PICLEN),
                         NEWNAME.Piece(1, NEWLEN));
  if (ISTAT.kind == RenameResult::Kind::kDone)
    out.FixedRecord({{"Successfully renamed ", 21}, {NEWNAME.Piece(1, NEWLEN), 50}});
  // Success is said only once the rename is on the disk.
  if (ISTAT.kind == RenameResult::Kind::kNotWritten)
    ReportNotWritten(out, NEWNAME.Piece(1, NEWLEN), ISTAT.error,
                     words::kMayHoldOldName + std::string(PICNAME.Piece(1, PICLEN)));
}

}  // namespace stampwise
