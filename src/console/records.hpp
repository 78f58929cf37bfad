// The record forms in which the program writes and reads: fixed-width and
// list-style output records on standard output, and line input and line skip
// on the console and on the list file. Every failure of these ends the run
// through FailIo (exit status 127); the program tests none of them itself,
// apart from the end of the list file in SkipLine.
#ifndef STAMPWISE_CONSOLE_RECORDS_HPP
#define STAMPWISE_CONSOLE_RECORDS_HPP

#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>

#include "console/ending.hpp"
#include "console/text_field.hpp"

namespace stampwise {

// The source position of a statement, for the error report: the defaults
// take the caller's position.
#define STAMPWISE_HERE \
  const char *src_file = __builtin_FILE(), int src_line = __builtin_LINE()

// One value written in a field of its own width (fixed-width records).
struct FixedValue {
  std::string_view value;
  int width;
};

// Standard output, unit 6. Buffered here, in whole records, up to 64 KiB;
// every record ends with CR LF on every platform and keeps its trailing
// blanks.
class OutputUnit {
 public:
  explicit OutputUnit(std::FILE* stream = stdout, const char* file_name = "stdout");
  OutputUnit(const OutputUnit&) = delete;
  OutputUnit& operator=(const OutputUnit&) = delete;

  // Each value right-aligned in its width, or cut to it when not shorter.
  void FixedRecord(std::initializer_list<FixedValue> values, STAMPWISE_HERE);
  // A blank, then the value exactly as given.
  void ListRecord(std::string_view value, STAMPWISE_HERE);
  // A list-style record with no value: an empty line.
  void EmptyRecord(STAMPWISE_HERE);
  // Hands everything buffered to the system; a failure ends the run.
  void Flush(STAMPWISE_HERE);

 private:
  void Put(std::string_view text, Statement statement);
  void EndRecord(Statement statement, const char* src_file, int src_line);
  void Fail(Statement statement, const char* src_file, int src_line);

  std::FILE* stream_;
  const char* file_name_;
  long records_ = 0;
  Statement last_ = Statement::kListWrite;
  std::string buffer_;  // whole records not yet handed to the system
  std::size_t used_ = 0;
};

// The orderly end: the stop notice, standard output flushed, exit status 0.
[[noreturn]] void OrderlyEnd(OutputUnit& out, STAMPWISE_HERE);

// A unit read line by line: the console (unit 5) or the list file (unit 1).
// A line ends at a line feed; a carriage return right before it is dropped,
// one anywhere else is data; a last line without a line feed is a line.
class InputUnit {
 public:
  // Console input. `out` is flushed before every read, so that a person at a
  // terminal sees everything written so far before typing.
  explicit InputUnit(OutputUnit* out);
  // The list file, not yet open.
  InputUnit(int number, const char* file_name);
  ~InputUnit();
  InputUnit(const InputUnit&) = delete;
  InputUnit& operator=(const InputUnit&) = delete;

  // Opens the list file for reading and writing, read-only where writing is
  // refused; a file that does not exist is created empty.
  void Open(STAMPWISE_HERE);
  // Closes it again; the file stays.
  void Close(STAMPWISE_HERE);

  // Line input of width W: the line's first W characters, padded with
  // blanks. Returns the length of the whole line, so that a caller can tell
  // a line that was cut. The end of input here ends the run (error 217).
  template <int W>
  long ReadLine(TextField<W>& field, STAMPWISE_HERE) {
    long length = 0;
    if (!NextLine(&length)) FailEnd(Statement::kFormattedRead, src_file, src_line);
    field.Assign(last_);
    return length;
  }

  // The last line read, whole up to kLineKept characters (the rest of a
  // longer line is discarded), for messages that must name it in full.
  std::string_view LastLine() const { return last_; }
  static constexpr std::size_t kLineKept = 4096;

  // Reads and discards the next line. Returns false at the end of the list
  // file; on the console the end of input ends the run (error 217).
  bool SkipLine(STAMPWISE_HERE);

 private:
  bool NextLine(long* length);
  bool NextFileLine(long* length);
  // Reads the next block of the list file: 0, EOF, or platform::kReadFailed.
  int Refill();
  [[noreturn]] void FailEnd(Statement statement, const char* src_file, int src_line);
  [[noreturn]] void FailHost(int error_number, Statement statement, const char* src_file,
                             int src_line);

  int number_;
  const char* file_name_;
  std::FILE* stream_;
  OutputUnit* flush_before_read_;
  bool owns_stream_;
  long records_ = 0;
  std::string line_;  // the head of a line that crossed blocks, or of a console line
  std::string_view last_;  // the kept head of the last line read: in the block, or line_
  bool keep_line_ = true;
  // Block buffer for the list file; the console is read one byte at a time,
  // so that it never waits for more than one line.
  std::string buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
};

}  // namespace stampwise

#endif  // STAMPWISE_CONSOLE_RECORDS_HPP
