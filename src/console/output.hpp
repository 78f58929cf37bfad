// Console output in the program's record forms: fixed-width and list-style
// records, each ended by CR LF on every platform, trailing blanks kept.
// A failed write ends the run through FailIo (exit status 127), but once an
// interrupt has come: then the output is held, and the interrupt ends it.
#ifndef STAMPWISE_CONSOLE_OUTPUT_HPP
#define STAMPWISE_CONSOLE_OUTPUT_HPP

#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>

#include "console/ending.hpp"
#include "console/words.hpp"
#include "platform/host.hpp"

namespace stampwise {

// One value written in a field of its own width (fixed-width records).
struct FixedValue {
  std::string_view value;
  int width;
};

// An output unit: standard output is unit 6. Buffered here, in whole
// records, up to 64 KiB. A failure found while writing the buffer is
// reported at the statement that wrote the first record still buffered.
//
// Once `host` says that an interrupt came, nothing more is handed to the
// system until WriteHeld: the run removes its list file first, and a
// terminal closed under it could fail the write. A write that fails after
// an interrupt ends nothing; the run ends as the interrupt does.
class OutputUnit {
 public:
  explicit OutputUnit(std::FILE* stream = stdout, const char* file_name = words::kStdout,
                      int number = 6, platform::Host* host = nullptr);
  OutputUnit(const OutputUnit&) = delete;
  OutputUnit& operator=(const OutputUnit&) = delete;

  // Each value right-aligned in its width, or cut to it when not shorter.
  void FixedRecord(std::initializer_list<FixedValue> values, STAMPWISE_HERE);
  // A blank, then the value exactly as given.
  void ListRecord(std::string_view value, STAMPWISE_HERE);
  // A list-style record with no value: an empty line.
  void EmptyRecord(STAMPWISE_HERE);
  // Hands everything buffered to the system; a failure ends the run. Holds
  // it instead once an interrupt has come.
  void Flush(STAMPWISE_HERE);
  // After an interrupt: hands over what is held. 0, or the error, which
  // changes nothing: the interrupt ends the run.
  int WriteHeld();
  // Whether a person watches it: a terminal or a console window.
  bool Interactive() const { return interactive_; }

 private:
  void Put(std::string_view text);
  void EndRecord(Statement statement, const char* src_file, int src_line);

  std::FILE* stream_;
  platform::Host* host_;
  const char* file_name_;
  int number_;
  bool interactive_;
  long records_ = 0;
  // The first record still buffered: its statement and source position.
  Statement first_ = Statement::kListWrite;
  const char* first_file_ = nullptr;
  int first_line_ = 0;
  std::string buffer_;  // room for the records not yet handed to the system
  std::size_t used_ = 0;
};

}  // namespace stampwise

#endif  // STAMPWISE_CONSOLE_OUTPUT_HPP
