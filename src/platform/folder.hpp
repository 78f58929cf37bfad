// The folder operations of the platform: listing a folder's entries and
// removing a file. One implementation a platform (folder_posix.cpp,
// folder_windows.cpp); names travel as UTF-8 bytes.
#ifndef STAMPWISE_PLATFORM_FOLDER_HPP
#define STAMPWISE_PLATFORM_FOLDER_HPP

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace stampwise::platform {

// Calls `visit` with the name of every entry of `folder` that the home
// platform's listing shows: not "." or "..", nothing hidden. Raw order.
// Returns 0, or the platform's error number when the folder cannot be
// listed (missing, not a folder, not readable).
int ForEachEntry(const std::string& folder, const std::function<void(std::string_view)>& visit);

// The size the file system gives `folder` itself, 0 where it gives none:
// on most disks at least the bytes of its names, so room for the names can
// be set aside at once. Only a guess: names may take more.
std::size_t FolderSize(const std::string& folder);

// Removes one file. Returns 0, or the platform's error number.
int RemoveFile(const std::string& path);

// Creates a new file for writing, failing when any entry of that name (a
// link too) is there. Returns the open file, or null with *error set.
std::FILE* CreateNewFile(const std::string& path, int* error);

// Moves `from` to `to`, replacing the entry `to` itself where there is one:
// a link is replaced, never what it points to. 0, or the error number.
int ReplaceEntry(const std::string& from, const std::string& to);

// A number of this run's own, for names no other run makes at the same time.
unsigned long ProcessNumber();

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_FOLDER_HPP
