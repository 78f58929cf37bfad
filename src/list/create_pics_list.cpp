#include "list/create_pics_list.hpp"

#include <string>

#include "console/ending.hpp"

namespace stampwise {

namespace {

const TextField<73> kProblem(words::kProblem);

// The problem message, one ENTER, and the orderly end. `why`, when given,
// comes first on a line of its own.
[[noreturn]] void StopForFolderName(ConsoleInput& console, OutputUnit& out, platform::Host& host,
                                    std::string_view why) {
  host.ReleaseInterrupts();
  if (!why.empty()) out.ListRecord(why);
  out.FixedRecord({{kProblem.View(), TextField<73>::kWidth}});
  console.SkipLine();
  OrderlyEnd(out);
}

// "D:" and "D:Cam1" name a drive's current folder.
bool NamesADrivesCurrentFolder(std::string_view folder) {
  return folder.size() >= 2 && folder[1] == ':' &&
         (folder.size() == 2 || (folder[2] != '/' && folder[2] != '\\'));
}

// "\\?\", "\\.\" and the NT form "\??\" take the rest as it stands.
bool IsRawPath(std::string_view folder) {
  if (folder.size() < 4 || (folder[0] != '\\' && folder[0] != '/') || folder[3] != folder[0])
    return false;
  return (folder[1] == folder[0] && (folder[2] == '?' || folder[2] == '.')) ||
         (folder[1] == '?' && folder[2] == '?');
}

// A last part that ends in a dot, but "." and "..".
bool EndsInDot(std::string_view folder) {
  if (folder.back() != '.' || folder.find_first_not_of('.') == std::string_view::npos) return false;
  std::size_t last = folder.find_last_of("/\\");
  std::string_view part = last == std::string_view::npos ? folder : folder.substr(last + 1);
  return part != "." && part != "..";
}

// Why Windows would take `folder` for another folder than the one named,
// where its path rules apply; null where it would not.
const char* WhyNotOnWindows(std::string_view folder, const platform::PathRules& rules) {
  if (rules.drive_letters && NamesADrivesCurrentFolder(folder)) return words::kFolderDrive;
  if (rules.drive_letters && IsRawPath(folder)) return words::kFolderRaw;
  // Windows would list and rename in the folder without the dot, and flush
  // another one.
  if (rules.drops_trailing_dots && EndsInDot(folder)) return words::kFolderEndsInDot;
  return nullptr;
}

// Why the typed folder name cannot be used, before anything is listed;
// null where it can. `typed` is the length of the whole line typed, and
// `line` as much of it as the console kept.
const char* WhyNotAFolderName(std::string_view folder, long typed, std::string_view line,
                              const platform::PathRules& rules) {
  // An empty name would list the working directory on the home platform,
  // and a longer one would cut the command and the new picture names.
  if (folder.empty()) return words::kNoFolderName;
  if (folder.size() > static_cast<std::size_t>(kMaxFolderLength)) return words::kFolderTooLong;
  // The listing would split the name at a blank, while the renames would
  // use it whole: two different folders. So would a name that goes on past
  // the field's 50 characters after blanks: "Cam1", blanks, "Other" would
  // list and rename in Cam1.
  bool goes_on = typed > kNameWidth && (typed > static_cast<long>(LineInput::kLineKept) ||
                                        line.find_last_not_of(' ') + 1 > folder.size());
  if (folder.find(' ') != std::string_view::npos || goes_on) return words::kFolderBlanks;
  // No folder on the home platform has a control character in its name,
  // and a NUL would cut every path handed to the system.
  for (char c : folder) {
    if (static_cast<unsigned char>(c) < 32 || c == 127) return words::kFolderControl;
  }
  return WhyNotOnWindows(folder, rules);
}

}  // namespace

PicsList CREATEPICSLIST(ConsoleInput& console, OutputUnit& out, CommandProcessor& commands,
                        platform::Host& host, std::int32_t& NFILES, NameField& FOLDER,
                        std::int32_t& FOLDERLEN) {
  long typed = console.ReadLine(FOLDER);
  FOLDERLEN = FOLDER.TrimmedLength();
  std::string_view folder = FOLDER.Piece(1, FOLDERLEN);
  if (const char* why = WhyNotAFolderName(folder, typed, console.LastLine(), commands.Rules()))
    StopForFolderName(console, out, host, why);

  // From the listing on, an interrupt ends the run in order (driver.cpp).
  host.HoldInterrupts();
  NameField COMMAND;
  COMMAND.Join({"dir /b ", FOLDER.Piece(1, FOLDERLEN), " > ", words::kListFileName});
  int ISTAT = commands.Run(COMMAND.Trimmed());
  if (ISTAT == 1) StopForFolderName(console, out, host, "");

  PicsList list{commands.TakeListing(), commands.Held()};
  if (std::size_t n = list.listing.with_line_feed()) {
    WriteErrorLine(std::string(folder) + ": " + std::to_string(n) +
                       (n == 1 ? words::kOneName : words::kNames) + words::kLineFeedNames + "\n",
                   &host);
  }
  ListFileInput lines(commands.disk(), list.file);
  NFILES = 0;
  while (lines.SkipLine()) ++NFILES;
  lines.CheckReadBack();
  return list;
}

}  // namespace stampwise
