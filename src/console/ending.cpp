#include "console/ending.hpp"

#include <cstdio>
#include <cstdlib>

namespace stampwise {

namespace {

const char* StatementName(Statement statement) {
  switch (statement) {
    case Statement::kFormattedRead: return "formatted read";
    case Statement::kListRead: return "list-directed read";
    case Statement::kFormattedWrite: return "formatted write";
    case Statement::kListWrite: return "list-directed write";
    case Statement::kOpen: return "OPEN";
    case Statement::kClose: return "CLOSE";
  }
  return "statement";
}

}  // namespace

void FailIo(int error_number, const char* text, Statement statement, const UnitReport& unit,
            const char* src_file, int src_line) {
  std::fprintf(stderr, "stampwise: error %d in %s on unit %d: %s\n", error_number,
               StatementName(statement), unit.number, text);
  std::fprintf(stderr, "stampwise: unit %d is %s, formatted, sequential access, %ld records done\n",
               unit.number, unit.file, unit.records);
  std::fprintf(stderr, "stampwise: failing statement at %s:%d\n", src_file, src_line);
  std::fflush(stderr);
  // _Exit, not exit: output still buffered for standard output is dropped.
  std::_Exit(127);
}

void WriteStopNotice() {
  if (std::getenv("NO_STOP_MESSAGE") == nullptr) {
    std::fputs("STOP\n", stderr);
    std::fflush(stderr);
  }
}

}  // namespace stampwise
