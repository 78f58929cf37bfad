#include "rename/process_list.hpp"

#include <string>
#include <unordered_set>

#include "list/create_pics_list.hpp"
#include "rename/rename_file.hpp"

namespace stampwise {

namespace {

void ReportNotRenamed(OutputUnit& out, std::string_view path, std::string_view why) {
  std::string line = "Not renamed: ";
  line.append(path).append(": ").append(why);
  out.ListRecord(line);
}

}  // namespace

bool IsSelected(const NameField& line) {
  return line.At(21) == '[' || line.At(21) == '(' || line.At(20) == '-';
}

void PROCESSLIST(std::int32_t NFILES, const NameField& FOLDER, std::int32_t FOLDERLEN,
                 DateTimeFields& time, OutputUnit& out) {
  platform::Renamer renamer;
  InputUnit list(kListUnit, kListFileName);
  list.Open();

  NameField PICNAME;
  StampField STAMP;
  platform::RenameResult ISTAT;
  // Stamps already tried for the current picture: the advancing stamp can
  // come back to one of them only when a field has left the range that the
  // stamp can show, and then every later one would come back too.
  std::unordered_set<std::string> tried;

  for (std::int32_t line = 1; line <= NFILES; ++line) {
    long length = list.ReadLine(PICNAME);
    if (!IsSelected(PICNAME)) continue;
    std::int32_t PICLEN = PICNAME.TrimmedLength();
    STAMP.Assign(PICNAME.Piece(1, 19));

    // Never rename a cut path: it would name another file, or none.
    if (length > kNameWidth || FOLDERLEN + 1 + PICLEN > kNameWidth) {
      std::string path(FOLDER.Piece(1, FOLDERLEN));
      path.append("/").append(list.LastLine());
      ReportNotRenamed(out, path, "the path is longer than 50 characters");
      continue;
    }
    PICNAME.Join({FOLDER.Piece(1, FOLDERLEN), "/", PICNAME.Piece(1, PICLEN)});
    PICLEN = PICNAME.TrimmedLength();

    // A stamp not read whole would take its missing values from the picture
    // before: a wrong time that looks like a right one.
    if (!CONVERT(STAMP, time)) {
      ReportNotRenamed(out, PICNAME.Piece(1, PICLEN), "its name does not begin with a time stamp");
      continue;
    }

    tried.clear();
    for (;;) {
      ADVANCECLOCK(time);
      RECONVERT(time, STAMP);
      if (!tried.emplace(STAMP.View()).second) {
        ReportNotRenamed(out, PICNAME.Piece(1, PICLEN), "every later time stamp it can take is taken");
        break;
      }
      RENAMEFILE(FOLDER, FOLDERLEN, PICNAME, PICLEN, STAMP, ISTAT, out, renamer);
      if (ISTAT.Done()) break;
      if (!ISTAT.Taken()) {
        ReportNotRenamed(out, PICNAME.Piece(1, PICLEN), platform::Describe(ISTAT));
        break;
      }
    }
  }
  list.Close();
}

}  // namespace stampwise
