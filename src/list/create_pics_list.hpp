// Reads the folder name from the console, has the folder listed into the
// list file and counts the list's lines.
#ifndef STAMPWISE_LIST_CREATE_PICS_LIST_HPP
#define STAMPWISE_LIST_CREATE_PICS_LIST_HPP

#include <cstdint>

#include "console/line_input.hpp"
#include "console/output.hpp"
#include "console/text_field.hpp"
#include "console/words.hpp"
#include "list/command_processor.hpp"
#include "list/folder_listing.hpp"
#include "platform/disk.hpp"
#include "platform/host.hpp"

namespace stampwise {

// The longest folder name whose paths fit the 50-character fields: folder,
// "/", the 19-character stamp and ".jpg".
constexpr int kMaxFolderLength = kNameWidth - 1 - kStampWidth - 4;

// What the list step hands the rename step, besides NFILES, FOLDER and
// FOLDERLEN: the folder's names as the listing read them, so that the
// folder is read once, and the list file, held open for the run.
struct PicsList {
  FolderListing listing;
  platform::HeldFile file;
};

// Fills FOLDER (as typed, cut or padded to 50), FOLDERLEN (its trimmed
// length) and NFILES (the lines of the list file). Ends the program itself,
// after a line that says why (console/words.hpp), the problem message and
// one ENTER, when the folder name is empty, too long, has blanks or control
// characters in it or goes on past 50 characters after blanks, names a
// drive's current folder or a raw path where the system reads those, or
// when the folder cannot be listed (another run's list included). A list
// that reads back otherwise than it was written ends the run with status
// 127. `commands` runs the listing; interrupts are held from it on.
PicsList CREATEPICSLIST(ConsoleInput& console, OutputUnit& out, CommandProcessor& commands,
                        platform::Host& host, std::int32_t& NFILES, NameField& FOLDER,
                        std::int32_t& FOLDERLEN);

}  // namespace stampwise

#endif  // STAMPWISE_LIST_CREATE_PICS_LIST_HPP
