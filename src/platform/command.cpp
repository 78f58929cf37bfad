#include "platform/command.hpp"

#include <algorithm>
#include <cstdio>

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

// dir /b FOLDER... > FILE, with `words` the words after "/b".
int ListInto(const std::vector<std::string_view>& words) {
  if (words.size() < 2 || words[words.size() - 2] != ">") return 1;
  std::string target(words.back());
  // The redirect comes first, as with the command processor: a listing that
  // fails leaves the file there, empty.
  std::FILE* out = std::fopen(target.c_str(), "wb");
  if (out == nullptr) return 1;
  int status = words.size() == 2 ? 1 : 0;  // no folder named at all
  std::vector<std::string> names;
  for (std::size_t i = 0; i + 2 < words.size(); ++i) {
    names.clear();
    if (ListFolder(std::string(words[i]), &names) != 0) {
      status = 1;
      continue;
    }
    for (const std::string& name : names) {
      if (std::fwrite(name.data(), 1, name.size(), out) != name.size() ||
          std::fwrite("\r\n", 1, 2, out) != 2)
        status = 1;
    }
  }
  if (std::fclose(out) != 0) status = 1;
  return status;
}

}  // namespace

int ListFolder(const std::string& folder, std::vector<std::string>* names) {
  int error = ForEachEntry(folder, [names](std::string_view name) { names->emplace_back(name); });
  if (error != 0) return error;
  std::sort(names->begin(), names->end(), [](const std::string& a, const std::string& b) {
    int order = FoldedCompare(a, b);
    return order != 0 ? order < 0 : a < b;
  });
  return 0;
}

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
