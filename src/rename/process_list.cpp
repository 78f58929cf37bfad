#include "rename/process_list.hpp"

#include <string>

#include "console/line_input.hpp"
#include "console/words.hpp"
#include "list/create_pics_list.hpp"
#include "platform/console.hpp"
#include "rename/group.hpp"
#include "rename/rename_file.hpp"

namespace stampwise {

bool IsSelected(const NameField& line) {
  return line.At(21) == '[' || line.At(21) == '(' || line.At(20) == '-';
}

void PROCESSLIST(std::int32_t NFILES, const NameField& FOLDER, std::int32_t FOLDERLEN,
                 DateTimeFields& time, OutputUnit& out, platform::Disk& disk,
                 const CommandProcessor& commands) {
  std::string folder(FOLDER.Piece(1, FOLDERLEN));
  Renamer renamer(disk, commands.Listed(folder), Renamer::Method::kAuto,
                  WriteThroughFor(disk.KindOf(folder)));
  Group group(out, renamer);
  const platform::PathRules rules = disk.Rules();
  ListFileInput list(disk, words::kListFileName, commands.Held(words::kListFileName));
  list.Open();

  NameField PICNAME;
  StampField STAMP;
  RenameResult ISTAT;

  // An interrupt ends the run between two pictures: the one in hand is
  // done or left as it was, never half-way.
  for (std::int32_t line = 1; line <= NFILES && !platform::Interrupted(); ++line) {
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
      group.SayNotRenamed(path, why);
      group.PictureDone();
      continue;
    }
    PICNAME.Join({FOLDER.Piece(1, FOLDERLEN), "/", PICNAME.Piece(1, PICLEN)});
    PICLEN = PICNAME.TrimmedLength();

    // A stamp not read whole would take its missing values from the picture
    // before, and one of another century would be moved into this one: a
    // wrong time that looks like a right one.
    if (STAMP.Piece(1, 2) != "20" || !CONVERT(STAMP, time))
      why = words::kNoStamp;
    else
      why = renamer.Examine(PICNAME.Piece(1, PICLEN));
    if (why != nullptr) {
      group.SayNotRenamed(PICNAME.Piece(1, PICLEN), why);
      group.PictureDone();
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
        group.SayNotRenamed(PICNAME.Piece(1, PICLEN), words::kPastTheLastStamp);
        break;
      }
      RECONVERT(time, STAMP);
      RENAMEFILE(FOLDER, FOLDERLEN, PICNAME, PICLEN, STAMP, ISTAT, group, renamer);
      if (!ISTAT.Taken()) break;
      if (++taken > NFILES) {
        group.SayNotRenamed(PICNAME.Piece(1, PICLEN), words::kTakenTooOften);
        break;
      }
    }
    group.PictureDone();
  }
  group.End();
  list.Close();
  if (int error = renamer.Finish(folder))
    ReportNotWritten(out, folder, error, words::kRunNotWritten);
  if (platform::Interrupted()) {
    long n = group.renamed();
    out.ListRecord(words::kInterrupted + std::to_string(n) + (n == 1 ? " picture" : " pictures") +
                   " renamed" + words::kRestAsTheyWere);
  }
}

}  // namespace stampwise
