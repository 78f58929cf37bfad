// Line input on the console (unit 5) and on the list file (unit 1). A line
// ends at a line feed; a carriage return right before it is dropped, one
// anywhere else is data; a last line without a line feed is a line. Every
// failure ends the run through FailIo (exit status 127); the program tests
// none itself, apart from the end of the list file in SkipLine.
#ifndef STAMPWISE_CONSOLE_LINE_INPUT_HPP
#define STAMPWISE_CONSOLE_LINE_INPUT_HPP

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "console/ending.hpp"
#include "console/output.hpp"
#include "console/text_field.hpp"
#include "platform/console.hpp"
#include "platform/disk.hpp"

namespace stampwise {

// The line rules over blocks of bytes that a unit reads.
class LineInput {
 public:
  LineInput(const LineInput&) = delete;
  LineInput& operator=(const LineInput&) = delete;

  // Line input of width W: the line's first W characters, padded with
  // blanks. Returns the length of the whole line, so that a caller can tell
  // a line that was cut. The end of input here ends the run (error 217).
  template <int W>
  long ReadLine(TextField<W>& field, STAMPWISE_HERE) {
    long length = 0;
    if (!NextLine(&length, Statement::kFormattedRead, true, src_file, src_line))
      FailEnd(Statement::kFormattedRead, src_file, src_line);
    field.Assign(line_);
    return length;
  }

  // The last line that ReadLine read, whole up to kLineKept characters
  // (the rest of a longer line is discarded), for messages that must name
  // it in full.
  std::string_view LastLine() const { return line_; }
  static constexpr std::size_t kLineKept = 4096;

 protected:
  LineInput(int number, const char* file_name, std::size_t block);
  long records() const { return records_; }
  virtual ~LineInput() = default;

  // Up to `room` bytes into `into`, *got of them (0 at the end). 0, or the
  // error number.
  virtual int Read(char* into, std::size_t room, std::size_t* got) = 0;

  // The next line, its head kept in line_ when `keep`. False at the end.
  bool NextLine(long* length, Statement statement, bool keep, const char* src_file, int src_line);
  // The bytes of the line in hand that the block holds, up to its line
  // feed, counted into *n; true when the line feed was found.
  bool TakePiece(bool keep, long* n, bool* last_cr);
  // Reads the next block; false at the end of input.
  bool Refill(Statement statement, const char* src_file, int src_line);
  [[noreturn]] void FailEnd(Statement statement, const char* src_file, int src_line);
  [[noreturn]] void FailHost(int error_number, Statement statement, const char* src_file,
                             int src_line);

 private:
  int number_;
  const char* file_name_;
  long records_ = 0;
  std::string block_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  std::string line_;
};

// Console input. The output unit is flushed before every line is read, so
// that a person at a terminal sees everything written so far before typing.
class ConsoleInput : public LineInput {
 public:
  explicit ConsoleInput(OutputUnit& out);

  template <int W>
  long ReadLine(TextField<W>& field, STAMPWISE_HERE) {
    out_.Flush(src_file, src_line);
    return LineInput::ReadLine(field, src_file, src_line);
  }
  // Reads and discards the next line; the end of input ends the run.
  void SkipLine(STAMPWISE_HERE);

 private:
  int Read(char* into, std::size_t room, std::size_t* got) override;

  OutputUnit& out_;
  platform::ConsoleReader reader_;
};

// The list file that the listing wrote and holds open for the run, read
// from its first line, a block at a time, through `disk`. A list read
// again is a new ListFileInput: it starts at the first line.
class ListFileInput : public LineInput {
 public:
  ListFileInput(platform::Disk& disk, const platform::HeldFile& held,
                std::size_t block = std::size_t{1} << 16);

  // Reads and discards the next line. False at the end of the file.
  bool SkipLine(STAMPWISE_HERE);
  // Once every line has been read: the file must have given back the lines
  // and bytes written into it. Otherwise the run ends as a failed read of
  // the file (EIO).
  void CheckReadBack(STAMPWISE_HERE);

 private:
  int Read(char* into, std::size_t room, std::size_t* got) override;

  platform::Disk& disk_;
  platform::HeldFile held_;
  std::uint64_t offset_ = 0;
};

}  // namespace stampwise

#endif  // STAMPWISE_CONSOLE_LINE_INPUT_HPP
