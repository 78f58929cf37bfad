#include "rename/group.hpp"

#include <algorithm>

#include "console/reason.hpp"
#include "console/words.hpp"

namespace stampwise {

namespace {

constexpr auto kShare = std::chrono::milliseconds(200);

}  // namespace

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

Group::Group(OutputUnit& out, Renamer& renamer)
    : out_(out), renamer_(renamer), interactive_(out.Interactive()) {}

void Group::Say(std::string_view line, const char* src_file, int src_line) {
  if (held_.empty())
    out_.ListRecord(line, src_file, src_line);
  else
    held_.push_back(Line{std::string(line), false, {}, {}, {}});
}

void Group::SayNotRenamed(std::string_view path, std::string_view why) {
  std::string line = words::kNotRenamed;
  line.append(path).append(": ").append(why);
  Say(line);
}

void Group::SayResult(const RenameResult& result, std::string_view old_path,
                      std::string_view new_path) {
  if (result.kind == RenameResult::Kind::kTaken) return;
  if (held_.empty() && result.kind != RenameResult::Kind::kPending) {
    SayNow(result, old_path, new_path);
    return;
  }
  if (held_.empty()) started_ = Clock::now();
  held_.push_back(Line{{}, true, result, std::string(old_path), std::string(new_path)});
}

void Group::SayNow(const RenameResult& result, std::string_view old_path,
                   std::string_view new_path) {
  using Kind = RenameResult::Kind;
  if (result.kind == Kind::kTaken) return;
  if (result.kind == Kind::kDone) {
    out_.FixedRecord({{words::kSuccess, 21}, {new_path, 50}});
  } else if (result.kind == Kind::kNotWritten) {
    ReportNotWritten(out_, new_path, result.error, words::kMayHoldOldName + std::string(old_path));
  } else {
    SayNotRenamed(old_path, Describe(result));
  }
  if (result.Done()) ++renamed_;
  if (!result.left.empty()) {
    std::string line = words::kLeftBehind;
    line.append(result.left).append(": ").append(Reason(result.left_error));
    line.append("; ").append(words::kLeftover);
    out_.ListRecord(line);
  }
}

void Group::PictureDone() {
  if (!held_.empty()) {
    if (renamer_.Room() && renamer_.Waiting() < limit_ && Clock::now() - started_ < kShare) return;
    End();
  } else if (interactive_) {
    out_.Flush();
  }
}

void Group::End() {
  if (held_.empty()) return;
  results_.clear();
  renamer_.EndGroup(&results_);
  // The share of work a group takes follows the time the last one took.
  double took = std::chrono::duration<double>(Clock::now() - started_).count();
  double share = std::chrono::duration<double>(kShare).count();
  std::size_t made = results_.size();
  if (took > share && made > 1)
    limit_ = std::max<std::size_t>(1, static_cast<std::size_t>(made * share / took));
  else if (took < share / 2 && made >= limit_ && limit_ < 1024)
    limit_ *= 2;
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
