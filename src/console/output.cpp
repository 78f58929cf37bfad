#include "console/output.hpp"

#include <cerrno>
#include <cstring>

#include "platform/console.hpp"

namespace stampwise {

namespace {

constexpr std::size_t kBlockSize = 1 << 16;

}  // namespace

OutputUnit::OutputUnit(std::FILE* stream, const char* file_name, int number, platform::Host* host)
    : stream_(stream),
      host_(host),
      file_name_(file_name),
      number_(number),
      interactive_(platform::IsInteractive(stream)) {
  buffer_.resize(2 * kBlockSize);
}

void OutputUnit::Put(std::string_view text) {
  if (used_ + text.size() > buffer_.size()) buffer_.resize(used_ + text.size() + kBlockSize);
  std::memcpy(&buffer_[used_], text.data(), text.size());
  used_ += text.size();
}

// Whole records only are handed over, so that a console is never given half
// a character.
void OutputUnit::EndRecord(Statement statement, const char* src_file, int src_line) {
  Put("\r\n");
  ++records_;
  if (first_file_ == nullptr) {
    first_ = statement;
    first_file_ = src_file;
    first_line_ = src_line;
  }
  if (used_ >= kBlockSize) Flush(src_file, src_line);
}

void OutputUnit::FixedRecord(std::initializer_list<FixedValue> values, const char* src_file,
                             int src_line) {
  for (const FixedValue& v : values) {
    std::size_t width = static_cast<std::size_t>(v.width);
    if (v.value.size() < width) {
      static const std::string kBlanks(128, ' ');
      for (std::size_t pad = width - v.value.size(); pad > 0;) {
        std::size_t n = pad < kBlanks.size() ? pad : kBlanks.size();
        Put(std::string_view(kBlanks.data(), n));
        pad -= n;
      }
      Put(v.value);
    } else {
      Put(v.value.substr(0, width));
    }
  }
  EndRecord(Statement::kFormattedWrite, src_file, src_line);
}

void OutputUnit::ListRecord(std::string_view value, const char* src_file, int src_line) {
  Put(" ");
  Put(value);
  EndRecord(Statement::kListWrite, src_file, src_line);
}

void OutputUnit::EmptyRecord(const char* src_file, int src_line) {
  EndRecord(Statement::kListWrite, src_file, src_line);
}

void OutputUnit::Flush(const char* src_file, int src_line) {
  if (host_ != nullptr && host_->Interrupted()) return;
  int error = platform::WriteStream(stream_, std::string_view(buffer_.data(), used_));
  used_ = 0;
  // Only a buffer with a record in it can fail to be written. A terminal
  // closed under the run fails it (EIO), and is an interrupt itself.
  if (error == EIO && interactive_ && host_ != nullptr) host_->NoteHangup();
  if (error != 0 && (host_ == nullptr || !host_->Interrupted()))
    FailIo(error, words::kHostErrorText, first_, UnitReport{number_, file_name_, records_},
           first_file_ != nullptr ? first_file_ : src_file,
           first_file_ != nullptr ? first_line_ : src_line);
  first_file_ = nullptr;
}

int OutputUnit::WriteHeld() {
  int error = platform::WriteStream(stream_, std::string_view(buffer_.data(), used_));
  used_ = 0;
  first_file_ = nullptr;
  return error;
}

}  // namespace stampwise
