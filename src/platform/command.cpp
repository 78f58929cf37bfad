#include "platform/command.hpp"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "platform/fold_case.hpp"
#include "platform/folder.hpp"

namespace stampwise::platform {

namespace {

std::vector<std::string_view> SplitAtBlanks(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    std::size_t start = i;
    while (i < text.size() && text[i] != ' ') ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

// The names of one folder in one buffer, so that listing a folder of many
// thousand pictures costs no allocation a name.
struct Listing {
  std::string bytes;
  std::vector<std::pair<std::size_t, std::size_t>> spans;  // start, length

  std::string_view operator[](std::size_t i) const {
    return std::string_view(bytes).substr(spans[i].first, spans[i].second);
  }
};

// The entries of one folder in the order in which the home platform lists
// them: compared as upper-case bytes, ties by the bytes themselves.
int ListFolder(const std::string& folder, Listing* listing) {
  listing->bytes.clear();
  listing->spans.clear();
  int error = ForEachEntry(folder, [listing](std::string_view name) {
    listing->spans.emplace_back(listing->bytes.size(), name.size());
    listing->bytes.append(name);
  });
  if (error != 0) return error;
  std::string_view bytes = listing->bytes;
  std::sort(listing->spans.begin(), listing->spans.end(),
            [bytes](const auto& x, const auto& y) {
              std::string_view a = bytes.substr(x.first, x.second);
              std::string_view b = bytes.substr(y.first, y.second);
              int order = FoldedCompare(a, b);
              return order != 0 ? order < 0 : a < b;
            });
  return 0;
}

// dir /b FOLDER... > FILE, with `words` the words after "/b".
int ListInto(const std::vector<std::string_view>& words) {
  if (words.size() < 2 || words[words.size() - 2] != ">") return 1;
  std::string target(words.back());
  // The redirect comes first, as with the command processor: a listing that
  // fails leaves the file there, empty.
  std::FILE* out = std::fopen(target.c_str(), "wb");
  if (out == nullptr) return 1;
  std::setvbuf(out, nullptr, _IOFBF, 1 << 16);
  int status = words.size() == 2 ? 1 : 0;  // no folder named at all
  Listing listing;
  for (std::size_t i = 0; i + 2 < words.size(); ++i) {
    if (ListFolder(std::string(words[i]), &listing) != 0) {
      status = 1;
      continue;
    }
    for (std::size_t n = 0; n < listing.spans.size(); ++n) {
      std::string_view name = listing[n];
      if (std::fwrite(name.data(), 1, name.size(), out) != name.size() ||
          std::fwrite("\r\n", 1, 2, out) != 2)
        status = 1;
    }
  }
  if (std::fclose(out) != 0) status = 1;
  return status;
}

}  // namespace

int RunCommand(std::string_view command) {
  std::vector<std::string_view> words = SplitAtBlanks(command);
  if (words.size() >= 2 && FoldedEqual(words[0], "dir") && FoldedEqual(words[1], "/b")) {
    words.erase(words.begin(), words.begin() + 2);
    return ListInto(words);
  }
  if (words.size() == 2 && FoldedEqual(words[0], "del"))
    return RemoveFile(std::string(words[1])) == 0 ? 0 : 1;
  return kUnknownCommand;
}

}  // namespace stampwise::platform
