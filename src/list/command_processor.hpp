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
#ifndef STAMPWISE_LIST_COMMAND_PROCESSOR_HPP
#define STAMPWISE_LIST_COMMAND_PROCESSOR_HPP

#include <string>
#include <string_view>
#include <vector>

#include "list/folder_listing.hpp"
#include "platform/disk.hpp"

namespace stampwise {

// The status that the home platform's command processor gives a command it
// does not know.
constexpr int kUnknownCommand = 9009;

class CommandProcessor {
 public:
  explicit CommandProcessor(platform::Disk& disk) : disk_(disk) {}
  ~CommandProcessor();
  CommandProcessor(const CommandProcessor&) = delete;
  CommandProcessor& operator=(const CommandProcessor&) = delete;

  // How the system reads the paths that the commands hand it.
  platform::PathRules Rules() const { return disk_.Rules(); }

  // Runs one command line (trailing blanks are not part of it) and returns
  // its exit status.
  int Run(std::string_view command);

  // The folder that the last listing read whole, with its names as they
  // were then; null when that was not `folder`.
  const FolderListing* Listed(std::string_view folder) const;

  // The list file that the last listing wrote under `name`, held open and
  // locked for the rest of the run: another run in the same working
  // directory sees the lock, and this run reads its own list back even
  // where another program has replaced the name meanwhile.
  platform::HeldFile Held(std::string_view name) const;
  // The disk its commands work on.
  platform::Disk& disk() const { return disk_; }

 private:
  int ListInto(const std::vector<std::string_view>& words);
  bool LockFolders(const std::vector<std::string_view>& words);
  int ListFolders(const std::vector<std::string_view>& words, const std::string& target,
                  const std::string& new_name, platform::File file);
  int WriteList(platform::File file);
  int Delete(const std::string& name);
  // Closes the list file held, if any.
  void Release();

  platform::Disk& disk_;
  FolderListing listing_;
  bool listed_ = false;
  std::string held_name_;
  platform::HeldFile held_;
  platform::HeldFile written_;                // the list file being written, and what went into it
  std::vector<platform::File> folder_locks_;  // the folders listed, locked until released
};

}  // namespace stampwise

#endif  // STAMPWISE_LIST_COMMAND_PROCESSOR_HPP
