#include "platform/utf16.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifdef _WIN32
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
      {"Latin-1",
       {u"Kamera_S\u00fcd"},
       "Kamera_S\xc3\xbc"
       "d"},
      {"Cyrillic", {u"\u0424\u043e\u0442\u043e_1"}, "\xd0\xa4\xd0\xbe\xd1\x82\xd0\xbe_1"},
      {"outside the BMP", {u"\U0001F98A"}, "\xf0\x9f\xa6\x8a"},
      {"a pair split across two reads",
       {u"a\xd83e",
        u"\xdd8a"
        u"b"},
       "a\xf0\x9f\xa6\x8a"
       "b"},
      {"a lone high surrogate",
       {u"a\xd83e"
        u"b"},
       "a\xef\xbf\xbd"
       "b"},
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

#ifdef _WIN32
// NTFS allows a name with an unpaired surrogate; converted with a
// replacement character it would name another file, so the listing leaves
// out every name that does not convert.
TEST(Narrow, RefusesANameThatIsNotValidUtf16) {
  std::string utf8;
  EXPECT_TRUE(Narrow(L"Kamera_S\u00fcd", &utf8));
  EXPECT_EQ(utf8,
            "Kamera_S\xc3\xbc"
            "d");
  EXPECT_FALSE(Narrow(L"bad\xd800.jpg", &utf8));
  EXPECT_FALSE(Narrow(L"bad\xdc00.jpg", &utf8));
}
#endif

}  // namespace
}  // namespace stampwise::platform
