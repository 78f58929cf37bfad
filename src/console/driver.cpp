#include "console/driver.hpp"

#include <cstdint>

#include "console/ending.hpp"
#include "console/line_input.hpp"
#include "console/output.hpp"
#include "console/text_field.hpp"
#include "console/words.hpp"
#include "list/command_processor.hpp"
#include "list/create_pics_list.hpp"
#include "platform/console.hpp"
#include "platform/disk.hpp"
#include "rename/process_list.hpp"
#include "stamp/date_time.hpp"

namespace stampwise {

namespace {

using Banner = TextField<67>;

const Banner kTitle(words::kTitle);
const Banner kInstructions[] = {
    Banner(words::kInstructions[0]),
    Banner(words::kInstructions[1]),
    Banner(words::kInstructions[2]),
};
const TextField<42> kDone(words::kClosing);

}  // namespace

void MAIN() {
  platform::PrepareConsole();
  OutputUnit out;
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
  CREATEPICSLIST(console, out, commands, NFILES, FOLDER, FOLDERLEN);

  DateTimeFields time;
  PROCESSLIST(NFILES, FOLDER, FOLDERLEN, time, out, disk, commands);

  // A failed delete changes nothing in the run: its status is not used.
  TextField<16> del;
  del.Join({"del ", words::kListFileName});
  commands.Run(del.Trimmed());

  // An interrupted run has said what it did; it ends without the closing
  // line, as the interrupt would have ended it.
  if (platform::Interrupted()) {
    out.Flush();
    platform::EndInterrupted();
  }
  platform::ReleaseInterrupts();

  out.ListRecord(kDone.View());
  console.SkipLine();
  OrderlyEnd(out);
}

}  // namespace stampwise
