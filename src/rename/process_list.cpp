#include "rename/process_list.hpp"

#include <string>

#include "console/line_input.hpp"
#include "console/words.hpp"
#include "rename/held_lines.hpp"
#include "rename/rename_file.hpp"
#include "rename/renamer.hpp"

namespace stampwise {

bool IsSelected(const NameField& line) {
  return line.At(21) == '[' || line.At(21) == '(' || line.At(20) == '-';
}

namespace {

// Why a selected list line of `length` characters is not to be renamed,
// before its path is formed; null where nothing keeps it. Never a cut path:
// it would name another file, or none. Nor a name that ends in a blank:
// handed over without it, it names another.
const char* WhyLeftAsItIs(long length, const NameField& PICNAME, std::int32_t PICLEN,
                          std::int32_t FOLDERLEN, const platform::PathRules& rules) {
  if (length > kNameWidth || FOLDERLEN + 1 + PICLEN > kNameWidth) return words::kPathTooLong;
  if (length > PICLEN) return words::kEndsInBlank;
  if (rules.drops_trailing_dots && PICNAME.At(PICLEN) == '.') return words::kEndsInDot;
  return nullptr;
}

// The attempt loop of one picture: one second later each time, until the
// rename is done or fails for another reason than a taken name.
//
// The folder has NFILES entries, so no more than that many names can be
// taken in a row, by the folder's own names or a few made meanwhile: past
// that, something else refuses every name (a file system that says
// "taken" for all), and the search would not end.
void Attempts(std::int32_t NFILES, const NameField& FOLDER, std::int32_t FOLDERLEN,
              const NameField& PICNAME, std::int32_t PICLEN, StampField& STAMP,
              DateTimeFields& time, HeldLines& lines, Renamer& renamer) {
  RenameResult ISTAT;
  for (std::int32_t taken = 0;;) {
    ADVANCECLOCK(time);
    // A field the stamp cannot show would keep its old digits: a name
    // earlier than the picture's own.
    if (!CanWrite(time)) {
      lines.SayNotRenamed(PICNAME.Piece(1, PICLEN), words::kPastTheLastStamp);
      return;
    }
    RECONVERT(time, STAMP);
    RENAMEFILE(FOLDER, FOLDERLEN, PICNAME, PICLEN, STAMP, ISTAT, lines, renamer);
    if (!ISTAT.Taken()) return;
    if (++taken > NFILES) {
      lines.SayNotRenamed(PICNAME.Piece(1, PICLEN), words::kTakenTooOften);
      return;
    }
  }
}

}  // namespace

long PROCESSLIST(std::int32_t NFILES, const NameField& FOLDER, std::int32_t FOLDERLEN,
                 const PicsList& list, DateTimeFields& time, OutputUnit& out, platform::Disk& disk,
                 platform::Host& host) {
  std::string folder(FOLDER.Piece(1, FOLDERLEN));
  Renamer renamer(disk, list.listing, disk.KindOf(folder));
  HeldLines lines(out, renamer, host);
  const platform::PathRules rules = disk.Rules();
  ListFileInput input(disk, list.file);

  NameField PICNAME;
  StampField STAMP;

  // An interrupt ends the run between two pictures: the one in hand is
  // done or left as it was, never half-way.
  for (std::int32_t line = 1; line <= NFILES; ++line) {
    long length = input.ReadLine(PICNAME);
    if (!IsSelected(PICNAME)) continue;
    if (host.Interrupted()) break;
    std::int32_t PICLEN = PICNAME.TrimmedLength();
    STAMP.Assign(PICNAME.Piece(1, 19));

    if (const char* why = WhyLeftAsItIs(length, PICNAME, PICLEN, FOLDERLEN, rules)) {
      lines.SayNotRenamed(folder + "/" + std::string(input.LastLine()), why);
      lines.EndGroupIfDue();
      continue;
    }
    PICNAME.Join({FOLDER.Piece(1, FOLDERLEN), "/", PICNAME.Piece(1, PICLEN)});
    PICLEN = PICNAME.TrimmedLength();

    // A stamp not read whole would take its missing values from the picture
    // before, and one of another century would be moved into this one: a
    // wrong time that looks like a right one.
    const char* why = STAMP.Piece(1, 2) != "20" || !CONVERT(STAMP, time)
                          ? words::kNoStamp
                          : renamer.Examine(PICNAME.Piece(1, PICLEN));
    if (why != nullptr)
      lines.SayNotRenamed(PICNAME.Piece(1, PICLEN), why);
    else
      Attempts(NFILES, FOLDER, FOLDERLEN, PICNAME, PICLEN, STAMP, time, lines, renamer);
    lines.EndGroupIfDue();
  }
  lines.EndGroup();
  if (int error = renamer.Finish()) ReportNotWritten(out, folder, error, words::kRunNotWritten);
  return lines.renamed();
}

}  // namespace stampwise
