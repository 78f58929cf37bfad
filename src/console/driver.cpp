#include "console/driver.hpp"

#include <cstdint>
#include <string>

#include "console/ending.hpp"
#include "console/line_input.hpp"
#include "console/output.hpp"
#include "console/text_field.hpp"
#include "console/words.hpp"
#include "list/command_processor.hpp"
#include "list/create_pics_list.hpp"
#include "platform/console.hpp"
#include "platform/disk.hpp"
#include "platform/host.hpp"
#include "rename/process_list.hpp"
#include "stamp/date_time.hpp"

namespace stampwise {

namespace {

using Banner = TextField<67>;

const Banner kTitle(words::kTitle);
const Banner kInstructions[] = {
    Banner(words::kInstruction1),
    Banner(words::kInstruction2),
    Banner(words::kInstruction3),
};
const TextField<42> kDone(words::kClosing);

// Hands over what the output holds, and ends the run as the interrupt
// would: a write that fails now (a closed terminal) changes nothing.
void ShowHeldAndEnd(OutputUnit& out, platform::Host& host) {
  (void)out.WriteHeld();
  host.EndInterrupted();
}

}  // namespace

// An interrupt (Ctrl+C, a closed terminal or console window, SIGTERM,
// SIGHUP), from the signal to the status, in order:
//  1. Until the listing, it does what it does to any program. From the
//     listing on (CREATEPICSLIST), the host only notes it; a second one
//     ends the process at once.
//  2. From the moment it is noted, the output holds every line
//     (OutputUnit), and a failed console write ends nothing.
//  3. PROCESSLIST stops before the next picture: the picture in hand is
//     renamed or left as it was, the open group is written to the disk and
//     its lines said, and the run is written to the disk, as at any end.
//  4. Here: the list file is removed, then the Interrupted line is said,
//     the held lines are handed over, and the process ends as the
//     interrupt would (130 for Ctrl+C in a POSIX shell).
//  5. One that comes once the closing line is on its way ends the run with
//     that line said: the output ends with one of the two, never neither.
void EndOfRun(OutputUnit& out, CommandProcessor& commands, platform::Host& host, long renamed) {
  // A failed delete changes nothing in the run: its status is not used.
  TextField<16> del;
  del.Join({"del ", words::kListFileName});
  commands.Run(del.Trimmed());

  if (host.Interrupted()) {
    out.ListRecord(words::kInterrupted + std::to_string(renamed) +
                   (renamed == 1 ? words::kPictureRenamed : words::kPicturesRenamed) +
                   words::kRestAsTheyWere);
    ShowHeldAndEnd(out, host);
  }
  out.ListRecord(kDone.View());
  out.Flush();
  if (host.Interrupted()) ShowHeldAndEnd(out, host);
  host.ReleaseInterrupts();
}

void MAIN() {
  platform::PrepareConsole();
  platform::RealHost host;
  OutputUnit out(stdout, words::kStdout, 6, &host);
  ConsoleInput console(out);
  platform::RealDisk disk;
  // The stand-in for the command processor keeps the folder it listed, so
  // that the renames need not read it again.
  CommandProcessor commands(disk);

  out.FixedRecord({{kTitle.View(), Banner::kWidth}});
  out.EmptyRecord();
  for (const Banner& line : kInstructions) out.FixedRecord({{line.View(), Banner::kWidth}});

  std::int32_t NFILES = 0;
  NameField FOLDER;
  std::int32_t FOLDERLEN = 0;
  PicsList list = CREATEPICSLIST(console, out, commands, host, NFILES, FOLDER, FOLDERLEN);

  DateTimeFields time;
  long renamed = PROCESSLIST(NFILES, FOLDER, FOLDERLEN, list, time, out, disk, host);

  EndOfRun(out, commands, host, renamed);
  console.SkipLine();
  OrderlyEnd(out);
}

}  // namespace stampwise
