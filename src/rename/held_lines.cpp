#include "rename/held_lines.hpp"

#include <algorithm>

#include "console/reason.hpp"
#include "console/words.hpp"

namespace stampwise {

std::string Describe(const RenameResult& result) {
  std::string words = result.why != nullptr ? result.why : Reason(result.error);
  if (result.kind == RenameResult::Kind::kBothNames) words += words::kBothNames;
  return words;
}

void ReportNotWritten(OutputUnit& out, std::string_view path, int error,
                      std::string_view consequence) {
  std::string line = words::kNotWritten;
  line.append(path).append(": ").append(Reason(error)).append("; ").append(consequence);
  out.ListRecord(line);
}

// Lines are shown as soon as they are final to a person watching, and where
// renames are written to the disk, also into a pipe or a file: there a
// record must not wait past the write that made it true.
HeldLines::HeldLines(OutputUnit& out, Renamer& renamer, platform::Host& host)
    : out_(out),
      renamer_(renamer),
      host_(host),
      show_(out.Interactive() || renamer.WritesThrough()) {}

void HeldLines::Hold(std::string_view line) {
  held_.push_back(Line{std::string(line), false, {}, {}, {}});
}

void HeldLines::SayNotRenamed(std::string_view path, std::string_view why) {
  std::string line = words::kNotRenamed;
  line.append(path).append(": ").append(why);
  Say(line);
}

void HeldLines::SayOther(const RenameResult& result, std::string_view old_path,
                         std::string_view new_path) {
  if (held_.empty() && result.kind != RenameResult::Kind::kPending) {
    SayNow(result, old_path, new_path);
    return;
  }
  if (held_.empty()) started_ = host_.Now();
  held_.push_back(Line{{}, true, result, std::string(old_path), std::string(new_path)});
}

void HeldLines::SayNow(const RenameResult& result, std::string_view old_path,
                       std::string_view new_path) {
  using Kind = RenameResult::Kind;
  if (result.kind == Kind::kDone) {
    SaySuccess(new_path);
  } else if (result.kind == Kind::kNotWritten) {
    ReportNotWritten(out_, new_path, result.error, words::kMayHoldOldName + std::string(old_path));
    ++renamed_;
  } else {
    SayNotRenamed(old_path, Describe(result));
  }
  if (result.left != RenameResult::Left::kNothing) {
    std::string line = words::kLeftBehind;
    line.append(result.left == RenameResult::Left::kOldName ? old_path : new_path);
    line.append(": ").append(Reason(result.left_error));
    line.append("; ").append(words::kLeftover);
    out_.ListRecord(line);
  }
}

void HeldLines::EndOrShow() {
  if (!held_.empty()) {
    if (renamer_.Room() && renamer_.Waiting() < limit_ && host_.Now() - started_ < kGroupShare)
      return;
    EndGroup();
  } else if (show_) {
    out_.Flush();
  }
}

// The share of work a group takes follows the time the last one took.
void HeldLines::Learn(std::size_t made) {
  double took = std::chrono::duration<double>(host_.Now() - started_).count();
  double share = std::chrono::duration<double>(kGroupShare).count();
  if (took > share && made > 1)
    limit_ = std::max<std::size_t>(1, static_cast<std::size_t>(made * share / took));
  else if (took < share / 2 && made >= limit_ && limit_ < 1024)
    limit_ *= 2;
}

void HeldLines::EndGroup() {
  if (held_.empty()) return;
  results_.clear();
  renamer_.EndGroup(&results_);
  Learn(results_.size());
  std::vector<Line> lines;
  lines.swap(held_);
  std::size_t next = 0;
  for (const Line& line : lines) {
    if (!line.result)
      out_.ListRecord(line.text);
    else if (line.said.kind != RenameResult::Kind::kPending)
      SayNow(line.said, line.old_path, line.new_path);
    else if (next < results_.size())
      SayNow(results_[next++], line.old_path, line.new_path);
  }
  out_.Flush();
}

}  // namespace stampwise
