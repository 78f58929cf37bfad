#include "rename/process_list.hpp"

#include <string>

#include "console/line_input.hpp"
#include "console/reason.hpp"
#include "console/words.hpp"
#include "list/create_pics_list.hpp"
#include "rename/rename_file.hpp"

namespace stampwise {

namespace {

void ReportNotRenamed(OutputUnit& out, std::string_view path, std::string_view why) {
  std::string line = words::kNotRenamed;
  line.append(path).append(": ").append(why);
  out.ListRecord(line);
}

}  // namespace

std::string Describe(const RenameResult& result) {
  if (result.kind == RenameResult::Kind::kBothNames)
    return Reason(result.error) + words::kBothNames;
  return Reason(result.error);
}

bool IsSelected(const NameField& line) {
  return line.At(21) == '[' || line.At(21) == '(' || line.At(20) == '-';
}

void PROCESSLIST(std::int32_t NFILES, const NameField& FOLDER, std::int32_t FOLDERLEN,
                 DateTimeFields& time, OutputUnit& out, platform::Disk& disk,
                 const CommandProcessor& commands) {
  std::string folder(FOLDER.Piece(1, FOLDERLEN));
  Renamer renamer(disk, commands.Listed(folder), Renamer::Method::kAuto,
                  WriteThroughFor(disk.KindOf(folder)));
  const platform::PathRules rules = disk.Rules();
  ListFileInput list(disk, words::kListFileName, commands.Held(words::kListFileName));
  list.Open();

  NameField PICNAME;
  StampField STAMP;
  RenameResult ISTAT;

  for (std::int32_t line = 1; line <= NFILES; ++line) {
    long length = list.ReadLine(PICNAME);
    if (!IsSelected(PICNAME)) continue;
    std::int32_t PICLEN = PICNAME.TrimmedLength();
    STAMP.Assign(PICNAME.Piece(1, 19));

    // Never rename a cut path: it would name another file, or none. Nor a
    // name that ends in a blank: handed over without it, it names another.
    const char* why = nullptr;
    if (length > kNameWidth || FOLDERLEN + 1 + PICLEN > kNameWidth)
      why = words::kPathTooLong;
    else if (length > PICLEN)
      why = words::kEndsInBlank;
    else if (rules.drops_trailing_dots && PICNAME.At(PICLEN) == '.')
      why = words::kEndsInDot;
    if (why != nullptr) {
      std::string path = folder;
      path.append("/").append(list.LastLine());
      ReportNotRenamed(out, path, why);
      continue;
    }
    PICNAME.Join({FOLDER.Piece(1, FOLDERLEN), "/", PICNAME.Piece(1, PICLEN)});
    PICLEN = PICNAME.TrimmedLength();

    // A stamp not read whole would take its missing values from the picture
    // before, and one of another century would be moved into this one: a
    // wrong time that looks like a right one.
    if (STAMP.Piece(1, 2) != "20" || !CONVERT(STAMP, time)) {
      ReportNotRenamed(out, PICNAME.Piece(1, PICLEN), words::kNoStamp);
      continue;
    }

    // The folder has NFILES entries, so no more than that many names can be
    // taken in a row, by the folder's own names or a few made meanwhile:
    // past that, something else refuses every name (a file system that says
    // "taken" for all), and the search would not end.
    std::int32_t taken = 0;
    for (;;) {
      ADVANCECLOCK(time);
      // A field the stamp cannot show would keep its old digits: a name
      // earlier than the picture's own.
      if (!CanWrite(time)) {
        ReportNotRenamed(out, PICNAME.Piece(1, PICLEN), words::kPastTheLastStamp);
        break;
      }
      RECONVERT(time, STAMP);
      RENAMEFILE(FOLDER, FOLDERLEN, PICNAME, PICLEN, STAMP, ISTAT, out, renamer);
      if (ISTAT.Done()) break;
      if (!ISTAT.Taken()) {
        ReportNotRenamed(out, PICNAME.Piece(1, PICLEN), Describe(ISTAT));
        break;
      }
      if (++taken > NFILES) {
        ReportNotRenamed(out, PICNAME.Piece(1, PICLEN), words::kTakenTooOften);
        break;
      }
    }
  }
  list.Close();
  if (int error = renamer.Finish(folder))
    ReportNotWritten(out, folder, error, words::kRunNotWritten);
}

}  // namespace stampwise
