// An in-process stand-in for the two command lines that the program hands to
// the home platform's command processor. No shell is ever started: a folder
// name is only ever a folder name, whatever characters it holds.
//
//   dir /b FOLDER > FILE   FILE is created or replaced first; then the bare
//                          names of the folder's entries, one a line, each
//                          ended by CR LF. Status 1 when the folder cannot
//                          be listed or none is named.
//   del FILE               removes FILE, the list that the listing wrote;
//                          status 0, or 1 when it could not.
//
// Anything else runs nothing and returns 1.
#ifndef STAMPWISE_LIST_COMMAND_PROCESSOR_HPP
#define STAMPWISE_LIST_COMMAND_PROCESSOR_HPP

#include <string>
#include <string_view>
#include <vector>

#include "list/folder_listing.hpp"
#include "platform/disk.hpp"

namespace stampwise {

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

  // The folder that the last listing read, with its names as they were
  // then, handed over whole: the renames need not read the folder again.
  FolderListing TakeListing() { return std::move(listing_); }
  // The list file that the last listing wrote, held open and locked until
  // its del: another run in the same working directory sees the lock, and
  // this run reads its own list back even where another program has
  // replaced the name meanwhile.
  const platform::HeldFile& Held() const { return held_; }
  // The disk its commands work on.
  platform::Disk& disk() const { return disk_; }

 private:
  int ListInto(const std::string& folder, const std::string& target);
  int ListFolder(const std::string& folder, const std::string& target, const std::string& new_name,
                 platform::File file);
  int WriteList(platform::File file);
  int Delete(const std::string& name);
  // Closes the list file and the folder's lock, where held.
  void Release();

  platform::Disk& disk_;
  FolderListing listing_;
  std::string held_name_;
  platform::HeldFile held_;
  platform::HeldFile written_;  // the list file being written, and what went into it
  platform::File folder_lock_ = 0;
  bool folder_locked_ = false;
};

}  // namespace stampwise

#endif  // STAMPWISE_LIST_COMMAND_PROCESSOR_HPP
