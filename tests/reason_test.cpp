#include "console/reason.hpp"

#include <gtest/gtest.h>

#include <cerrno>

#ifdef _WIN32
#include <windows.h>

#include "platform/error_windows.hpp"
#endif

namespace stampwise {
namespace {

// The Windows program says a Windows error in the same plain words as the
// Linux program says its own, whatever either C library says.
TEST(Reason, WindowsErrorsInTheWordsTheUserReads) {
#ifndef _WIN32
  GTEST_SKIP() << "Windows' own error codes";
#else
  struct Case {
    unsigned long error;
    const char* words;
  } cases[] = {
      {ERROR_SHARING_VIOLATION, "The file is in use by another program"},
      {ERROR_NOT_READY, "The drive is not ready (was the card taken out?)"},
      {ERROR_BAD_NET_NAME, "The network folder cannot be reached"},
      {ERROR_NETNAME_DELETED, "The network folder cannot be reached"},
      {ERROR_TOO_MANY_OPEN_FILES, "Too many open files"},
      {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory"},
      {ERROR_INVALID_NAME, "The name is not a valid file name"},
      {ERROR_WRITE_PROTECT, "Read-only file system"},
      {ERROR_ACCESS_DENIED, "Permission denied"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Reason(platform::ErrnoFromWindows(c.error)), c.words) << c.error;
#endif
}

}  // namespace
}  // namespace stampwise
