// Reads the folder name from the console, has the folder listed into the
// list file and counts the list's lines.
#ifndef STAMPWISE_LIST_CREATE_PICS_LIST_HPP
#define STAMPWISE_LIST_CREATE_PICS_LIST_HPP

#include <cstdint>

#include "console/records.hpp"
#include "console/text_field.hpp"

namespace stampwise {

// The list file, in the working directory, and its unit number.
constexpr const char* kListFileName = "AllFiles.txt";
constexpr int kListUnit = 1;

// The longest folder name whose paths fit the 50-character fields: folder,
// "/", the 19-character stamp and ".jpg".
constexpr int kMaxFolderLength = kNameWidth - 1 - kStampWidth - 4;

// Fills FOLDER (as typed, cut or padded to 50), FOLDERLEN (its trimmed
// length) and NFILES (the lines of the list file). Ends the program itself,
// after the problem message and one ENTER, when the folder name is empty or
// too long or the folder cannot be listed.
void CREATEPICSLIST(InputUnit& console, OutputUnit& out, std::int32_t& NFILES, NameField& FOLDER,
                    std::int32_t& FOLDERLEN);

}  // namespace stampwise

#endif  // STAMPWISE_LIST_CREATE_PICS_LIST_HPP
