#include "rename/rename_file.hpp"

namespace stampwise {

void RENAMEFILE(const NameField& FOLDER, std::int32_t FOLDERLEN, const NameField& PICNAME,
                std::int32_t PICLEN, const StampField& STAMP, RenameResult& ISTAT, HeldLines& lines,
                Renamer& renamer) {
  NameField NEWNAME;
  NEWNAME.Join({FOLDER.Piece(1, FOLDERLEN), "/", STAMP.View(), ".jpg"});
  std::int32_t NEWLEN = NEWNAME.TrimmedLength();

  lines.Say(PICNAME.Piece(1, PICLEN));
  lines.Say(NEWNAME.Piece(1, NEWLEN));
  ISTAT = renamer.Rename(PICNAME.Piece(1, PICLEN), NEWNAME.Piece(1, NEWLEN));
  lines.SayResult(ISTAT, PICNAME.Piece(1, PICLEN), NEWNAME.Piece(1, NEWLEN));
}

}  // namespace stampwise
