// The folder operations of the platform: listing a folder's entries and
// removing a file. One implementation a platform (folder_posix.cpp,
// folder_windows.cpp); names travel as UTF-8 bytes.
#ifndef STAMPWISE_PLATFORM_FOLDER_HPP
#define STAMPWISE_PLATFORM_FOLDER_HPP

#include <functional>
#include <string>
#include <string_view>

namespace stampwise::platform {

// Calls `visit` with the name of every entry of `folder` that the home
// platform's listing shows: not "." or "..", nothing hidden. Raw order.
// Returns 0, or the platform's error number when the folder cannot be
// listed (missing, not a folder, not readable).
int ForEachEntry(const std::string& folder, const std::function<void(std::string_view)>& visit);

// Removes one file. Returns 0, or the platform's error number.
int RemoveFile(const std::string& path);

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_FOLDER_HPP
