// Two of the three ways a run ends: the orderly end, and the failure of
// console or file input and output, which ends it at once with exit status
// 127. The third, an interrupt, is the driver's (driver.cpp).
#ifndef STAMPWISE_CONSOLE_ENDING_HPP
#define STAMPWISE_CONSOLE_ENDING_HPP

#include <string_view>

namespace stampwise {

namespace platform {
class Host;
}
class OutputUnit;

// The source position of the statement that the caller wrote, for the
// error report: the defaults take the caller's position.
#define STAMPWISE_HERE const char *src_file = __builtin_FILE(), int src_line = __builtin_LINE()

// The kind of statement that failed, as the error report names it.
enum class Statement {
  kFormattedRead,
  kListRead,
  kFormattedWrite,
  kListWrite,
  kOpen,
  kClose,
};

// What the error report says about the unit that failed.
struct UnitReport {
  int number;        // 5 console input, 6 console output, 1 the list file
  const char* file;  // "stdin", "stdout" or the list file's name
  long records;      // records read or written on it so far
};

// Error number of a read past the end of console input or of the list file.
constexpr int kEndOfFileError = 217;

// Writes the three-line error report to standard error and exits with
// status 127, leaving whatever is still buffered for standard output
// unwritten. The one path to that exit.
[[noreturn]] void FailIo(int error_number, const char* text, Statement statement,
                         const UnitReport& unit, const char* src_file, int src_line);

// Writes `text` on standard error, unit 0; a failure ends the run as any
// failed console output does, unless an interrupt has come (`host`): then
// it is the interrupt's, and the run goes on to end as the interrupt does.
void WriteErrorLine(std::string_view text, platform::Host* host = nullptr, STAMPWISE_HERE);

// The orderly end: the one-line stop notice on standard error, unless
// NO_STOP_MESSAGE is defined (with any value); standard output flushed;
// exit status 0.
[[noreturn]] void OrderlyEnd(OutputUnit& out, STAMPWISE_HERE);

}  // namespace stampwise

#endif  // STAMPWISE_CONSOLE_ENDING_HPP
