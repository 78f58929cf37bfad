#include "console/ending.hpp"

#include <cstdio>
#include <cstdlib>

#include "console/output.hpp"
#include "platform/console.hpp"

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
  char report[1024];
  std::snprintf(report, sizeof report,
                "stampwise: error %d in %s on unit %d: %s\n"
                "stampwise: unit %d is %s, formatted, sequential access, %ld records done\n"
                "stampwise: failing statement at %s:%d\n",
                error_number, StatementName(statement), unit.number, text, unit.number, unit.file,
                unit.records, src_file, src_line);
  platform::WriteStream(stderr, report);
  // _Exit, not exit: output still buffered for standard output is dropped.
  std::_Exit(127);
}

void WriteErrorLine(std::string_view text, const char* src_file, int src_line) {
  if (int error = platform::WriteStream(stderr, text))
    FailIo(error, kHostErrorText, Statement::kListWrite, UnitReport{0, "stderr", 0}, src_file,
           src_line);
}

void OrderlyEnd(OutputUnit& out, const char* src_file, int src_line) {
  if (std::getenv("NO_STOP_MESSAGE") == nullptr) WriteErrorLine("STOP\n", src_file, src_line);
  out.Flush(src_file, src_line);
  std::_Exit(0);
}

}  // namespace stampwise
