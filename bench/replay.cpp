// The floor of the job: the very rename attempts that stampwise made,
// replayed with nothing but renameat2(RENAME_NOREPLACE) calls. No program
// can do the job with fewer calls. The attempts come from a file of
// NUL-separated (old path, new path) pairs, or with --echo from the
// program's own output: two echo lines, each a blank and a path that
// begins with FOLDER/, make one attempt.
#include <fcntl.h>
#include <stdio.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Pairs = std::vector<std::pair<const char*, const char*>>;

// Pointers into `data`, whose names each end in a NUL.
Pairs FromPairs(const std::string& data) {
  Pairs pairs;
  for (std::size_t at = 0; at < data.size();) {
    const char* from = data.c_str() + at;
    at += std::char_traits<char>::length(from) + 1;
    const char* to = data.c_str() + at;
    at += std::char_traits<char>::length(to) + 1;
    pairs.emplace_back(from, to);
  }
  return pairs;
}

// Each CR LF of `data` becomes a NUL, so that its lines can be handed over.
Pairs FromEcho(std::string& data, const std::string& folder) {
  std::vector<const char*> lines;
  for (std::size_t at = 0; at < data.size();) {
    std::size_t end = data.find("\r\n", at);
    if (end == std::string::npos) break;
    data[end] = '\0';
    lines.push_back(data.c_str() + at);
    at = end + 2;
  }
  std::string echo = " " + folder + "/";
  auto is_echo = [&](const char* line) { return std::string(line).rfind(echo, 0) == 0; };
  Pairs pairs;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    if (!is_echo(lines[i]) || !is_echo(lines[i + 1])) continue;
    pairs.emplace_back(lines[i] + 1, lines[i + 1] + 1);
    ++i;
  }
  return pairs;
}

}  // namespace

int main(int argc, char** argv) {
  bool echo = argc == 4 && std::string(argv[1]) == "--echo";
  if (argc != 2 && !echo) {
    std::fprintf(stderr, "usage: %s ATTEMPTS_FILE | --echo OUTPUT FOLDER\n", argv[0]);
    return 2;
  }
  const char* path = echo ? argv[2] : argv[1];
  // Read whole before the first rename, in one piece.
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  std::string data(static_cast<std::size_t>(file.tellg()), '\0');
  file.seekg(0);
  if (!file.read(data.data(), static_cast<std::streamsize>(data.size()))) {
    std::perror(path);
    return 1;
  }
  auto pairs = echo ? FromEcho(data, argv[3]) : FromPairs(data);
  long done = 0, taken = 0;
  for (const auto& [from, to] : pairs) {
    if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) {
      ++done;
    } else if (errno == EEXIST) {
      ++taken;
    } else {
      std::perror(from);
      return 1;
    }
  }
  std::printf("%ld renamed, %ld taken\n", done, taken);
  return 0;
}
