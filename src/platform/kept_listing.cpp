#include "platform/kept_listing.hpp"

namespace stampwise::platform {

namespace {

// One run lists one folder; the names live until the process ends.
struct Kept {
  std::string folder;
  std::string names;
  bool kept = false;
};

Kept& TheKept() {
  static Kept* kept = new Kept;  // never freed: the end of the process frees it
  return *kept;
}

}  // namespace

void KeepListing(std::string_view folder, std::string names) {
  Kept& k = TheKept();
  k.folder.assign(folder);
  k.names = std::move(names);
  k.kept = true;
}

bool VisitKeptListing(std::string_view folder,
                      const std::function<void(std::string_view)>& visit) {
  const Kept& k = TheKept();
  if (!k.kept || k.folder != folder) return false;
  std::string_view names = k.names;
  while (!names.empty()) {
    std::size_t end = names.find('\n');
    visit(names.substr(0, end));
    names.remove_prefix(end + 1);
  }
  return true;
}

}  // namespace stampwise::platform
