// The manual page names every reason that a line of the console can give.
#include "console/words.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace stampwise {
namespace {

// The manual page's text as a reader sees it, near enough: requests and
// font changes gone, escapes for "\" and "-" undone, lines joined.
std::string ManualText() {
  std::ifstream file(STAMPWISE_SOURCE_DIR "/doc/stampwise.1");
  std::string line, text;
  while (std::getline(file, line)) {
    if (!line.empty() && line[0] == '.') {
      std::size_t blank = line.find(' ');
      line = blank == std::string::npos ? "" : line.substr(blank + 1);
    }
    std::string plain;
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '\\' && i + 1 < line.size()) {
        char next = line[++i];
        if (next == 'f')
          ++i;  // \fB, \fR, \fI
        else if (next == 'e')
          plain += '\\';
        else if (next == '-')
          plain += '-';
        continue;
      }
      if (line[i] != '"') plain += line[i];
    }
    text += plain + " ";
  }
  return text;
}

TEST(Words, TheManualPageNamesEveryReason) {
  std::string manual = ManualText();
  ASSERT_FALSE(manual.empty());
  for (const char* reason : words::kAll)
    EXPECT_NE(manual.find(reason), std::string::npos) << reason;
}

}  // namespace
}  // namespace stampwise
