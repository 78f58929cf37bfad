// Line input on the list file: whatever the bytes and however they fall
// into blocks, a line never yields more than its width, and the lines are
// the ones that a plain split by the line rules gives.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "console/line_input.hpp"

namespace {

// The lines of `data` as the rules say: split at LF, a CR right before the
// LF dropped, a last piece without LF a line when it is not empty.
std::vector<std::string> ExpectedLines(const std::string& data) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    std::size_t lf = data.find('\n', start);
    if (lf == std::string::npos) {
      if (start < data.size()) lines.push_back(data.substr(start));
      return lines;
    }
    std::string line = data.substr(start, lf - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = lf + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  static const std::string path = "/tmp/stampwise-fuzz-list-" + std::to_string(getpid());
  if (size == 0) return 0;
  // The first byte: the block size.
  std::size_t block = bytes[0] % 64 + 1;
  std::string data(reinterpret_cast<const char*>(bytes) + 1, size - 1);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(data.data(), 1, data.size(), file);
  std::fclose(file);

  std::vector<std::string> expected = ExpectedLines(data);
  stampwise::platform::RealDisk disk;
  stampwise::platform::HeldFile kept{true, 0, -1, 0};
  if (disk.OpenExisting(path, &kept.file) != 0) std::abort();
  stampwise::ListFileInput list(disk, kept, block);
  stampwise::NameField field;
  for (const std::string& line : expected) {
    long length = list.ReadLine(field);
    if (field.View().size() != stampwise::kNameWidth) std::abort();
    if (length != static_cast<long>(line.size())) std::abort();
    if (field != stampwise::NameField(line)) std::abort();
  }
  if (list.SkipLine()) std::abort();  // no line beyond the expected ones
  (void)disk.Close(kept.file);
  return 0;
}
