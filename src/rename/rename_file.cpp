#include "rename/rename_file.hpp"

namespace stampwise {

void RENAMEFILE(const NameField& FOLDER, std::int32_t FOLDERLEN, const NameField& PICNAME,
                std::int32_t PICLEN, const StampField& STAMP, RenameResult& ISTAT, Group& group,
                Renamer& renamer) {
  NameField NEWNAME;
  NEWNAME.Join({FOLDER.Piece(1, FOLDERLEN), "/", STAMP.View(), ".jpg"});
  std::int32_t NEWLEN = NEWNAME.TrimmedLength();

  group.Say(PICNAME.Piece(1, PICLEN));
  group.Say(NEWNAME.Piece(1, NEWLEN));
  ISTAT = renamer.Rename(FOLDER.Piece(1, FOLDERLEN), PICNAME.Piece(1, PICLEN),
                         NEWNAME.Piece(1, NEWLEN));
  group.SayResult(ISTAT, PICNAME.Piece(1, PICLEN), NEWNAME.Piece(1, NEWLEN));
}

}  // namespace stampwise
