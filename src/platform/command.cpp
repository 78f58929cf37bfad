#include "platform/command.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "platform/fold_case.hpp"
#include "platform/folder.hpp"
#include "platform/reason.hpp"

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

// The command processor's own complaint, on standard error.
void Complain(std::string_view what, int error) {
  std::string line(what);
  line.append(": ").append(Reason(error)).append("\n");
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}

// The entries of one folder in the order in which the home platform lists
// them: compared as upper-case bytes, ties by the bytes themselves. A name
// with a line feed cannot be one line of the list: it is left out. The
// list's own new file stands for the list file it is about to become.
int ListFolder(const std::string& folder, const std::string& new_file, const std::string& target,
               Listing* listing) {
  listing->bytes.clear();
  listing->spans.clear();
  bool saw_new = false, saw_target = false;
  int error = ForEachEntry(folder, [&](std::string_view name) {
    if (name.find('\n') != std::string_view::npos) return;
    if (name == new_file) {
      saw_new = true;
      return;
    }
    if (name == target) saw_target = true;
    listing->spans.emplace_back(listing->bytes.size(), name.size());
    listing->bytes.append(name);
  });
  if (error != 0) return error;
  if (saw_new && !saw_target) {
    listing->spans.emplace_back(listing->bytes.size(), target.size());
    listing->bytes.append(target);
  }
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

// A file of the listing's own beside the list file, created exclusively,
// so that nothing already there is ever written through.
std::FILE* CreateBeside(const std::string& target, std::string* name, int* error) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    *name = target + "." + std::to_string(ProcessNumber()) + "-" + std::to_string(attempt) + ".new";
    std::FILE* file = CreateNewFile(*name, error);
    if (file != nullptr || *error != EEXIST) return file;
  }
  return nullptr;
}

// dir /b FOLDER... > FILE, with `words` the words after "/b". The list is
// written to a new file, which then replaces the entry FILE, whatever that
// is: a link is replaced itself, a named pipe is never opened.
int ListInto(const std::vector<std::string_view>& words) {
  if (words.size() < 2 || words[words.size() - 2] != ">") return 1;
  std::string target(words.back());
  std::string new_file;
  int error = 0;
  std::FILE* out = CreateBeside(target, &new_file, &error);
  if (out == nullptr) {
    Complain(target, error);
    return 1;
  }
  std::setvbuf(out, nullptr, _IOFBF, 1 << 16);
  int status = words.size() == 2 ? 1 : 0;  // no folder named at all
  Listing listing;
  for (std::size_t i = 0; i + 2 < words.size(); ++i) {
    std::string folder(words[i]);
    if (int list_error = ListFolder(folder, new_file, target, &listing)) {
      Complain(folder, list_error);
      status = 1;
      continue;
    }
    for (std::size_t n = 0; n < listing.spans.size(); ++n) {
      std::string_view name = listing[n];
      if (std::fwrite(name.data(), 1, name.size(), out) != name.size() ||
          std::fwrite("\r\n", 1, 2, out) != 2)
        error = errno != 0 ? errno : EIO;
    }
  }
  if (std::fclose(out) != 0 && error == 0) error = errno != 0 ? errno : EIO;
  // The redirect comes first, as with the command processor: a listing that
  // fails still leaves its (empty) list file in place.
  if (error == 0) error = ReplaceEntry(new_file, target);
  if (error != 0) {
    RemoveFile(new_file);
    Complain(target, error);
    return 1;
  }
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
