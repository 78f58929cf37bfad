#include "platform/utf16.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/reason.hpp"

#ifdef _WIN32
#include <windows.h>

#include <cerrno>

#include "platform/error_windows.hpp"
#include "platform/utf8_windows.hpp"
#endif

namespace stampwise::platform {
namespace {

TEST(Utf16Decoder, TurnsConsoleTextIntoUtf8) {
  struct Case {
    const char* what;
    std::vector<std::u16string> pieces;  // as separate reads hand them over
    std::string utf8;
  } cases[] = {
      {"ASCII", {u"Cam1\r\n"}, "Cam1\r\n"},
      {"Latin-1", {u"Kamera_S\u00fcd"}, "Kamera_S\xc3\xbc" "d"},
      {"Cyrillic", {u"\u0424\u043e\u0442\u043e_1"}, "\xd0\xa4\xd0\xbe\xd1\x82\xd0\xbe_1"},
      {"outside the BMP", {u"\U0001F98A"}, "\xf0\x9f\xa6\x8a"},
      {"a pair split across two reads", {u"a\xd83e", u"\xdd8a" u"b"}, "a\xf0\x9f\xa6\x8a" "b"},
      {"a lone high surrogate", {u"a\xd83e" u"b"}, "a\xef\xbf\xbd" "b"},
      {"a lone low surrogate", {u"\xdd8a"}, "\xef\xbf\xbd"},
      {"a high surrogate at the end", {u"a\xd83e"}, "a\xef\xbf\xbd"},
  };
  for (const Case& c : cases) {
    Utf16Decoder decoder;
    std::string utf8;
    for (const std::u16string& piece : c.pieces) decoder.Feed(piece.data(), piece.size(), &utf8);
    decoder.Finish(&utf8);
    EXPECT_EQ(utf8, c.utf8) << c.what;
  }
}

// Both builds say the same plain words, whatever their C library says.
TEST(Reason, WordsTheUserReads) {
  EXPECT_EQ(Reason(EBUSY), "The file is in use by another program");
  EXPECT_EQ(Reason(EXDEV), "The new name is on another drive");
  EXPECT_EQ(Reason(ENOENT), "No such file or directory");
#ifdef _WIN32
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
  for (const Case& c : cases) EXPECT_EQ(Reason(ErrnoFromWindows(c.error)), c.words) << c.error;
#endif
}

#ifdef _WIN32
// NTFS allows a name with an unpaired surrogate; converted with a
// replacement character it would name another file, so the listing leaves
// out every name that does not convert.
TEST(Narrow, RefusesANameThatIsNotValidUtf16) {
  std::string utf8;
  EXPECT_TRUE(Narrow(L"Kamera_S\u00fcd", &utf8));
  EXPECT_EQ(utf8, "Kamera_S\xc3\xbc" "d");
  EXPECT_FALSE(Narrow(L"bad\xd800.jpg", &utf8));
  EXPECT_FALSE(Narrow(L"bad\xdc00.jpg", &utf8));
}
#endif

}  // namespace
}  // namespace stampwise::platform
