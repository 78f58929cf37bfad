// An in-process stand-in for the two command lines that the program hands to
// the home platform's command processor. No shell is ever started: a folder
// name is only ever a folder name, whatever characters it holds.
//
//   dir /b FOLDER... > FILE   FILE is created or replaced first; then the
//                             bare names of each folder's entries, one a
//                             line, each ended by CR LF. Status 1 when a
//                             folder cannot be listed or none is named.
//   del FILE                  removes FILE; status 0, or 1 when it could not.
//
// Anything else runs nothing and returns kUnknownCommand.
#ifndef STAMPWISE_PLATFORM_COMMAND_HPP
#define STAMPWISE_PLATFORM_COMMAND_HPP

#include <string>
#include <string_view>

namespace stampwise::platform {

// The status that the home platform's command processor gives a command it
// does not know.
constexpr int kUnknownCommand = 9009;

// Runs one command line (trailing blanks are not part of it) and returns its
// exit status.
int RunCommand(std::string_view command);

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_COMMAND_HPP
