#include "list/create_pics_list.hpp"

#include "platform/console.hpp"

namespace stampwise {

namespace {

const TextField<73> kProblem(words::kProblem);

// The problem message, one ENTER, and the orderly end. `why`, when given,
// comes first on a line of its own.
[[noreturn]] void StopForFolderName(ConsoleInput& console, OutputUnit& out, std::string_view why) {
  platform::ReleaseInterrupts();
  if (!why.empty()) out.ListRecord(why);
  out.FixedRecord({{kProblem.View(), TextField<73>::kWidth}});
  console.SkipLine();
  OrderlyEnd(out);
}

// Why Windows would take `folder` for another folder than the one named,
// where its path rules apply; null where it would not.
const char* WhyNotOnWindows(std::string_view folder, const platform::PathRules& rules) {
  if (rules.drive_letters) {
    bool drive = folder.size() >= 2 && folder[1] == ':' &&
                 (folder.size() == 2 || (folder[2] != '/' && folder[2] != '\\'));
    if (drive) return words::kFolderDrive;
    // "\\?\", "\\.\" and the NT form "\??\" take the rest as it stands.
    bool raw = folder.size() >= 4 && (folder[0] == '\\' || folder[0] == '/') &&
               folder[3] == folder[0] &&
               ((folder[1] == folder[0] && (folder[2] == '?' || folder[2] == '.')) ||
                (folder[1] == '?' && folder[2] == '?'));
    if (raw) return words::kFolderRaw;
  }
  // Windows would list and rename in the folder without the dot, and flush
  // another one.
  if (rules.drops_trailing_dots && folder.back() == '.' &&
      folder.find_first_not_of('.') != std::string_view::npos) {
    std::size_t last = folder.find_last_of("/\\");
    std::string_view part = last == std::string_view::npos ? folder : folder.substr(last + 1);
    if (part != "." && part != "..") return words::kFolderEndsInDot;
  }
  return nullptr;
}

}  // namespace

void CREATEPICSLIST(ConsoleInput& console, OutputUnit& out, CommandProcessor& commands,
                    std::int32_t& NFILES, NameField& FOLDER, std::int32_t& FOLDERLEN) {
  long typed = console.ReadLine(FOLDER);
  FOLDERLEN = FOLDER.TrimmedLength();
  std::string_view folder = FOLDER.Piece(1, FOLDERLEN);

  // An empty name would list the working directory on the home platform,
  // and a longer one would cut the command and the new picture names.
  if (FOLDERLEN == 0) StopForFolderName(console, out, words::kNoFolderName);
  if (FOLDERLEN > kMaxFolderLength) StopForFolderName(console, out, words::kFolderTooLong);
  // The listing would split the name at a blank, while the renames would
  // use it whole: two different folders.
  // So would a name that goes on past the field's 50 characters after
  // blanks: "Cam1", blanks, "Other" would list and rename in Cam1.
  std::string_view line = console.LastLine();
  bool goes_on = typed > kNameWidth && (typed > static_cast<long>(LineInput::kLineKept) ||
                                        line.find_last_not_of(' ') + 1 > folder.size());
  if (folder.find(' ') != std::string_view::npos || goes_on)
    StopForFolderName(console, out, words::kFolderBlanks);
  // No folder on the home platform has a control character in its name,
  // and a NUL would cut every path handed to the system.
  for (char c : folder) {
    if (static_cast<unsigned char>(c) < 32 || c == 127)
      StopForFolderName(console, out, words::kFolderControl);
  }

  if (const char* why = WhyNotOnWindows(folder, commands.Rules()))
    StopForFolderName(console, out, why);

  // From the listing on, an interrupt ends the run in order: the run says
  // what it did and removes its list file (the driver, PROCESSLIST).
  platform::HoldInterrupts();
  NameField COMMAND;
  COMMAND.Join({"dir /b ", FOLDER.Piece(1, FOLDERLEN), " > ", words::kListFileName});
  int ISTAT = commands.Run(COMMAND.Trimmed());
  if (ISTAT == 1) StopForFolderName(console, out, "");

  ListFileInput list(commands.disk(), words::kListFileName, commands.Held(words::kListFileName));
  list.Open();
  NFILES = 0;
  while (list.SkipLine()) ++NFILES;
  list.CheckReadBack();
  list.Close();
}

}  // namespace stampwise
