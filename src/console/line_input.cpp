#include "console/line_input.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "console/words.hpp"

namespace stampwise {

namespace {

constexpr int kConsoleUnit = 5;
constexpr int kListUnit = 1;

}  // namespace

LineInput::LineInput(int number, const char* file_name, std::size_t block)
    : number_(number), file_name_(file_name), block_(block, '\0') {}

// A line is found with memchr in the block; a line across blocks is
// gathered piece by piece.
bool LineInput::NextLine(long* length, Statement statement, bool keep, const char* src_file,
                         int src_line) {
  line_.clear();
  long n = 0;
  bool any = false, last_cr = false, ended = false;
  while (!ended) {
    if (pos_ == end_ && !Refill(statement, src_file, src_line)) {
      if (!any) return false;
      break;  // a last line without a line feed
    }
    ended = TakePiece(keep, &n, &last_cr);
    any = true;
  }
  if (ended && last_cr) {  // the CR of a CR LF line end is not data
    --n;
    if (line_.size() > static_cast<std::size_t>(n)) line_.pop_back();
  }
  ++records_;
  *length = n;
  return true;
}

bool LineInput::TakePiece(bool keep, long* n, bool* last_cr) {
  const char* start = block_.data() + pos_;
  std::size_t avail = end_ - pos_;
  const char* feed = static_cast<const char*>(std::memchr(start, '\n', avail));
  std::size_t take = feed != nullptr ? static_cast<std::size_t>(feed - start) : avail;
  pos_ += feed != nullptr ? take + 1 : take;
  *n += static_cast<long>(take);
  if (take > 0) *last_cr = start[take - 1] == '\r';
  if (keep && line_.size() < kLineKept)
    line_.append(start, std::min(take, kLineKept - line_.size()));
  return feed != nullptr;
}

bool LineInput::Refill(Statement statement, const char* src_file, int src_line) {
  std::size_t got = 0;
  if (int error = Read(&block_[0], block_.size(), &got))
    FailHost(error, statement, src_file, src_line);
  pos_ = 0;
  end_ = got;
  return got > 0;
}

void LineInput::FailEnd(Statement statement, const char* src_file, int src_line) {
  FailIo(kEndOfFileError, words::kEndOfFileText, statement,
         UnitReport{number_, file_name_, records_}, src_file, src_line);
}

void LineInput::FailHost(int error_number, Statement statement, const char* src_file,
                         int src_line) {
  FailIo(error_number, words::kHostErrorText, statement, UnitReport{number_, file_name_, records_},
         src_file, src_line);
}

ConsoleInput::ConsoleInput(OutputUnit& out)
    : LineInput(kConsoleUnit, words::kStdin, 4096), out_(out) {}

void ConsoleInput::SkipLine(const char* src_file, int src_line) {
  out_.Flush(src_file, src_line);
  long length = 0;
  if (!NextLine(&length, Statement::kListRead, false, src_file, src_line))
    FailEnd(Statement::kListRead, src_file, src_line);
}

int ConsoleInput::Read(char* into, std::size_t room, std::size_t* got) {
  return reader_.Read(into, room, got);
}

ListFileInput::ListFileInput(platform::Disk& disk, const platform::HeldFile& held,
                             std::size_t block)
    : LineInput(kListUnit, words::kListFileName, block), disk_(disk), held_(held) {}

bool ListFileInput::SkipLine(const char* src_file, int src_line) {
  long length = 0;
  return NextLine(&length, Statement::kFormattedRead, false, src_file, src_line);
}

void ListFileInput::CheckReadBack(const char* src_file, int src_line) {
  if (held_.lines < 0) return;
  if (records() != held_.lines || offset_ != held_.bytes)
    FailHost(EIO, Statement::kFormattedRead, src_file, src_line);
}

int ListFileInput::Read(char* into, std::size_t room, std::size_t* got) {
  int error = disk_.ReadAt(held_.file, offset_, into, room, got);
  offset_ += *got;
  return error;
}

}  // namespace stampwise
