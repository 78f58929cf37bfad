#include "console/records.hpp"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/console.hpp"

namespace stampwise {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kBlockSize = 1 << 16;

// errno, or a generic I/O error where the library left none.
int LastError() { return errno != 0 ? errno : EIO; }

}  // namespace

OutputUnit::OutputUnit(std::FILE* stream, const char* file_name)
    : stream_(stream), file_name_(file_name) {
  buffer_.resize(2 * kBlockSize);
}

void OutputUnit::Fail(Statement statement, const char* src_file, int src_line) {
  FailIo(LastError(), kHostErrorText, statement, UnitReport{6, file_name_, records_}, src_file,
         src_line);
}

void OutputUnit::Put(std::string_view text, Statement statement) {
  last_ = statement;
  if (used_ + text.size() > buffer_.size()) buffer_.resize(used_ + text.size() + kBlockSize);
  std::memcpy(&buffer_[used_], text.data(), text.size());
  used_ += text.size();
}

// Whole records only are handed over, so that a console is never given half
// a character.
void OutputUnit::EndRecord(Statement statement, const char* src_file, int src_line) {
  Put(kLineEnd, statement);
  ++records_;
  if (used_ >= kBlockSize) Flush(src_file, src_line);
}

void OutputUnit::FixedRecord(std::initializer_list<FixedValue> values, const char* src_file,
                             int src_line) {
  static const std::string kBlanks(256, ' ');
  for (const FixedValue& v : values) {
    std::size_t width = static_cast<std::size_t>(v.width);
    if (v.value.size() < width) {
      for (std::size_t pad = width - v.value.size(); pad > 0;) {
        std::size_t n = pad < kBlanks.size() ? pad : kBlanks.size();
        Put(std::string_view(kBlanks.data(), n), Statement::kFormattedWrite);
        pad -= n;
      }
      Put(v.value, Statement::kFormattedWrite);
    } else {
      Put(v.value.substr(0, width), Statement::kFormattedWrite);
    }
  }
  EndRecord(Statement::kFormattedWrite, src_file, src_line);
}

void OutputUnit::ListRecord(std::string_view value, const char* src_file, int src_line) {
  Put(" ", Statement::kListWrite);
  Put(value, Statement::kListWrite);
  EndRecord(Statement::kListWrite, src_file, src_line);
}

void OutputUnit::EmptyRecord(const char* src_file, int src_line) {
  EndRecord(Statement::kListWrite, src_file, src_line);
}

void OutputUnit::Flush(const char* src_file, int src_line) {
  int error = platform::WriteStream(stream_, std::string_view(buffer_.data(), used_));
  used_ = 0;
  if (error != 0) {
    errno = error;
    Fail(last_, src_file, src_line);
  }
}

void OrderlyEnd(OutputUnit& out, const char* src_file, int src_line) {
  WriteStopNotice();
  out.Flush(src_file, src_line);
  std::_Exit(0);
}

InputUnit::InputUnit(OutputUnit* out)
    : number_(5), file_name_("stdin"), stream_(stdin), flush_before_read_(out),
      owns_stream_(false) {}

InputUnit::InputUnit(int number, const char* file_name)
    : number_(number), file_name_(file_name), stream_(nullptr), flush_before_read_(nullptr),
      owns_stream_(true) {}

InputUnit::~InputUnit() {
  if (owns_stream_ && stream_ != nullptr) std::fclose(stream_);
}

void InputUnit::Open(const char* src_file, int src_line) {
  errno = 0;
  stream_ = std::fopen(file_name_, "r+b");
  if (stream_ == nullptr && errno != ENOENT) {
    errno = 0;
    stream_ = std::fopen(file_name_, "rb");
  }
  if (stream_ == nullptr && errno == ENOENT) {
    errno = 0;
    stream_ = std::fopen(file_name_, "w+b");
  }
  if (stream_ == nullptr) FailHost(LastError(), Statement::kOpen, src_file, src_line);
  records_ = 0;
  pos_ = end_ = 0;
  last_ = std::string_view();
}

void InputUnit::Close(const char* src_file, int src_line) {
  errno = 0;
  std::FILE* stream = stream_;
  stream_ = nullptr;
  if (std::fclose(stream) != 0) FailHost(LastError(), Statement::kClose, src_file, src_line);
}

bool InputUnit::SkipLine(const char* src_file, int src_line) {
  long length = 0;
  keep_line_ = false;  // nobody reads a skipped line
  bool read = NextLine(&length);
  keep_line_ = true;
  if (read) return true;
  if (number_ == 5) FailEnd(Statement::kListRead, src_file, src_line);
  return false;
}

int InputUnit::Refill() {
  if (buffer_.size() != kBlockSize) buffer_.resize(kBlockSize);
  errno = 0;
  end_ = std::fread(&buffer_[0], 1, kBlockSize, stream_);
  pos_ = 0;
  if (end_ == 0) return std::ferror(stream_) ? platform::kReadFailed : EOF;
  return 0;
}

// The list file: a block at a time, each line found with memchr. A line
// that lies whole in one block is handed out where it lies; only a line
// that crosses blocks is gathered into line_.
bool InputUnit::NextFileLine(long* length) {
  line_.clear();
  long n = 0;
  bool any = false, gathered = false, last_cr = false;
  const char* feed = nullptr;
  while (feed == nullptr) {
    if (pos_ == end_) {
      int c = Refill();
      if (c == platform::kReadFailed)
        FailHost(LastError(), Statement::kFormattedRead, __FILE__, __LINE__);
      if (c == EOF) {
        if (!any) return false;
        break;
      }
    }
    const char* start = &buffer_[pos_];
    std::size_t avail = end_ - pos_;
    feed = static_cast<const char*>(std::memchr(start, '\n', avail));
    std::size_t take = feed != nullptr ? static_cast<std::size_t>(feed - start) : avail;
    pos_ += feed != nullptr ? take + 1 : take;
    n += static_cast<long>(take);
    if (take > 0) last_cr = start[take - 1] == '\r';
    if (!any && feed != nullptr) {
      last_ = std::string_view(start, take).substr(0, kLineKept);
    } else {
      gathered = true;
      std::size_t room = keep_line_ ? kLineKept - line_.size() : 0;
      line_.append(start, take < room ? take : room);
    }
    any = true;
  }
  if (gathered) last_ = line_;
  if (feed != nullptr && last_cr) {  // the CR of a CR LF line end is not data
    --n;
    if (last_.size() > static_cast<std::size_t>(n)) last_.remove_suffix(1);
  }
  ++records_;
  *length = n;
  return true;
}

bool InputUnit::NextLine(long* length) {
  if (flush_before_read_ == nullptr) return NextFileLine(length);
  flush_before_read_->Flush();
  line_.clear();
  long n = 0;
  bool last_cr = false;
  for (;;) {
    // One byte at a time, so that the console never waits for more than
    // one line.
    int c = platform::ReadConsoleByte();
    if (c == platform::kReadFailed) FailHost(LastError(), Statement::kFormattedRead, __FILE__, __LINE__);
    if (c == EOF) {
      if (n == 0) return false;
      break;
    }
    if (c == '\n') {
      if (last_cr) {  // the CR of a CR LF line end is not data
        --n;
        if (line_.size() > static_cast<std::size_t>(n)) line_.pop_back();
      }
      break;
    }
    last_cr = (c == '\r');
    if (line_.size() < kLineKept) line_.push_back(static_cast<char>(c));
    ++n;
  }
  ++records_;
  *length = n;
  last_ = line_;
  return true;
}

void InputUnit::FailEnd(Statement statement, const char* src_file, int src_line) {
  FailIo(kEndOfFileError, kEndOfFileText, statement, UnitReport{number_, file_name_, records_},
         src_file, src_line);
}

void InputUnit::FailHost(int error_number, Statement statement, const char* src_file,
                         int src_line) {
  FailIo(error_number, kHostErrorText, statement, UnitReport{number_, file_name_, records_},
         src_file, src_line);
}

}  // namespace stampwise
