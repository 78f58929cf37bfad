// The floor of the job: the very rename attempts that stampwise made, read
// from a file of NUL-separated (old path, new path) pairs, replayed with
// nothing but renameat2(RENAME_NOREPLACE) calls. No program can do the job
// with fewer calls.
#include <fcntl.h>
#include <stdio.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s ATTEMPTS_FILE\n", argv[0]);
    return 2;
  }
  // Read whole before the first rename, in one piece.
  std::ifstream file(argv[1], std::ios::binary | std::ios::ate);
  std::string data(static_cast<std::size_t>(file.tellg()), '\0');
  file.seekg(0);
  if (!file.read(data.data(), static_cast<std::streamsize>(data.size()))) {
    std::perror(argv[1]);
    return 1;
  }
  long done = 0, taken = 0;
  for (std::size_t at = 0; at < data.size();) {
    const char* from = data.c_str() + at;
    at += std::char_traits<char>::length(from) + 1;
    const char* to = data.c_str() + at;
    at += std::char_traits<char>::length(to) + 1;
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
