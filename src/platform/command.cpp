#include "platform/command.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "platform/console.hpp"
#include "platform/fold_case.hpp"
#include "platform/folder.hpp"
#include "platform/kept_listing.hpp"
#include "platform/listing_order.hpp"
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
  struct Entry {
    std::uint64_t head[kHeadWords];  // key bytes after the head all names share
    std::uint32_t name, length;
  };
  std::string names;  // each name followed by a line feed
  std::vector<Entry> entries;

  // Room for the names at once where the folder's size tells how much:
  // growing copies them, and every copy touches fresh memory.
  void Reserve(std::size_t folder_size) {
    names.reserve(std::min<std::size_t>(folder_size, std::size_t{64} << 20));
  }
  void Add(std::string_view name) { names.append(name).push_back('\n'); }
  // An entry a name, made once all are in, so that the vector is made once.
  void MakeEntries() {
    entries.clear();
    entries.reserve(static_cast<std::size_t>(std::count(names.begin(), names.end(), '\n')));
    for (std::size_t at = 0; at < names.size();) {
      std::size_t end = names.find('\n', at);
      entries.push_back(Entry{{}, static_cast<std::uint32_t>(at),
                              static_cast<std::uint32_t>(end - at)});
      at = end + 1;
    }
  }
  std::string_view Name(const Entry& e) const {
    return std::string_view(names).substr(e.name, e.length);
  }
  // The names of one folder share a long head (a year and a month): it is
  // set aside, and the sort compares the 24 key bytes after it as three
  // numbers, the rest of the names only where those tie.
  void Sort() {
    if (entries.empty()) return;
    std::string_view first = Name(entries[0]);
    std::size_t shared = first.size();
    for (const Entry& e : entries) shared = SharedHead(first, Name(e), shared);
    for (Entry& e : entries) KeyHead(Name(e).substr(shared), e.head);
    std::sort(entries.begin(), entries.end(), [this, shared](const Entry& x, const Entry& y) {
      for (int w = 0; w < kHeadWords; ++w)
        if (x.head[w] != y.head[w]) return x.head[w] < y.head[w];
      return CompareForListing(Name(x), Name(y), shared) < 0;
    });
  }
};

// Asks for the memory at `p` ahead of its use, where the compiler can.
inline void Prefetch(const void* p) {
#if defined(__GNUC__)
  __builtin_prefetch(p);
#else
  (void)p;
#endif
}

// The command processor's own complaint, on standard error.
void Complain(std::string_view what, int error) {
  std::string line(what);
  line.append(": ").append(Reason(error)).append("\n");
  WriteStream(stderr, line);
}

// The entries of one folder in the listing's order. A name with a line
// feed cannot be one line of the list: it is left out. The list's own new
// file stands for the list file it is about to become.
int ListFolder(const std::string& folder, const std::string& new_file, const std::string& target,
               Listing* listing) {
  *listing = Listing();
  listing->Reserve(FolderSize(folder));
  bool saw_new = false, saw_target = false;
  int error = ForEachEntry(folder, [&](std::string_view name) {
    if (name.find('\n') != std::string_view::npos) return;
    if (name == new_file) {
      saw_new = true;
      return;
    }
    if (name == target) saw_target = true;
    listing->Add(name);
  });
  if (error != 0) return error;
  if (saw_new && !saw_target) listing->Add(target);
  listing->MakeEntries();
  listing->Sort();
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
  int status = words.size() == 2 ? 1 : 0;  // no folder named at all
  Listing listing;
  for (std::size_t i = 0; i + 2 < words.size(); ++i) {
    std::string folder(words[i]);
    if (int list_error = ListFolder(folder, new_file, target, &listing)) {
      Complain(folder, list_error);
      status = 1;
      continue;
    }
    // 64 KiB at a time: one write call for many names. In sorted order the
    // names come from all over the buffer: each is asked for a few names
    // ahead of its turn.
    constexpr std::size_t kAhead = 16;
    std::string lines;
    lines.reserve((1 << 16) + 1024);
    std::size_t count = listing.entries.size();
    for (std::size_t n = 0; n <= count; ++n) {
      if (n + kAhead < count) Prefetch(listing.names.data() + listing.entries[n + kAhead].name);
      if (n < count) lines.append(listing.Name(listing.entries[n])).append("\r\n", 2);
      if (lines.size() < (1 << 16) && n < count) continue;
      if (std::fwrite(lines.data(), 1, lines.size(), out) != lines.size())
        error = errno != 0 ? errno : EIO;
      lines.clear();
    }
    KeepListing(folder, std::move(listing.names));
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
