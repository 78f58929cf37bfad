#include "console/ending.hpp"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "console/output.hpp"
#include "console/words.hpp"
#include "platform/console.hpp"
#include "platform/host.hpp"

namespace stampwise {

namespace {

const char* StatementName(Statement statement) {
  switch (statement) {
    case Statement::kFormattedRead: return words::kFormattedRead;
    case Statement::kListRead: return words::kListRead;
    case Statement::kFormattedWrite: return words::kFormattedWrite;
    case Statement::kListWrite: return words::kListWrite;
    case Statement::kOpen: return words::kOpen;
    case Statement::kClose: return words::kClose;
  }
  return words::kFormattedWrite;
}

}  // namespace

void FailIo(int error_number, const char* text, Statement statement, const UnitReport& unit,
            const char* src_file, int src_line) {
  char lines[3][512];
  std::snprintf(lines[0], sizeof lines[0], words::kReportError, error_number,
                StatementName(statement), unit.number, text);
  std::snprintf(lines[1], sizeof lines[1], words::kReportUnit, unit.number, unit.file,
                unit.records);
  std::snprintf(lines[2], sizeof lines[2], words::kReportStatement, src_file, src_line);
  platform::WriteStream(stderr, std::string(lines[0]) + lines[1] + lines[2]);
  // _Exit, not exit: output still buffered for standard output is dropped.
  std::_Exit(127);
}

void WriteErrorLine(std::string_view text, platform::Host* host, const char* src_file,
                    int src_line) {
  int error = platform::WriteStream(stderr, text);
  if (error != 0 && (host == nullptr || !host->Interrupted()))
    FailIo(error, words::kHostErrorText, Statement::kListWrite, UnitReport{0, words::kStderr, 0},
           src_file, src_line);
}

void OrderlyEnd(OutputUnit& out, const char* src_file, int src_line) {
  if (std::getenv("NO_STOP_MESSAGE") == nullptr)
    WriteErrorLine(words::kStop, nullptr, src_file, src_line);
  out.Flush(src_file, src_line);
  std::_Exit(0);
}

}  // namespace stampwise
