// What the Windows tests need of the disk's Windows side beyond Disk: the
// name of the lock a run holds on a folder, so that a test can hold it as
// a run with other rights would.
#ifndef STAMPWISE_PLATFORM_DISK_WINDOWS_HPP
#define STAMPWISE_PLATFORM_DISK_WINDOWS_HPP

#include <string>

namespace stampwise::platform {

// The name of the mutex that stands for `folder`, whatever path leads to
// it, in every logon session: from the volume's serial number and the
// folder's file number. 0, or the error.
int FolderLockName(const std::string& folder, std::wstring* name);

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_DISK_WINDOWS_HPP
