// The console's lines of the renames, held until their renames are on the
// disk, so that "Successfully renamed" is said only of a rename that is.
// Where renames are written to the disk a group at a time (write_through),
// a group's lines wait for its end; the group ends after its share of time
// (kGroupShare), at the limit learnt from the groups before, or when the
// folder has no room for another new name. Elsewhere each line is written
// at once, and shown at once on a terminal.
#ifndef STAMPWISE_RENAME_HELD_LINES_HPP
#define STAMPWISE_RENAME_HELD_LINES_HPP

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "console/output.hpp"
#include "console/words.hpp"
#include "platform/host.hpp"
#include "rename/renamer.hpp"

namespace stampwise {

// The time a group of renames takes before it is written and said: a
// person watching sees each attempt within about a fifth of a second of its
// end, and a card is flushed about five times a second.
constexpr std::chrono::milliseconds kGroupShare{200};

class HeldLines {
 public:
  HeldLines(OutputUnit& out, Renamer& renamer, platform::Host& host);

  // A list-style record: written now, or held with the open group's lines.
  void Say(std::string_view line, STAMPWISE_HERE) {
    if (held_.empty())
      out_.ListRecord(line, src_file, src_line);
    else
      Hold(line);
  }
  // " Not renamed: PATH: WHY", a picture left as it is.
  void SayNotRenamed(std::string_view path, std::string_view why);
  // The lines the final result of a rename gives (nothing for a taken
  // name): the success line, or why not. A result that waits for its group
  // is said when the group is written.
  void SayResult(const RenameResult& result, std::string_view old_path, std::string_view new_path) {
    // The common cases, said as they come: a taken name says nothing.
    if (result.kind == RenameResult::Kind::kTaken) return;
    if (held_.empty() && result.kind == RenameResult::Kind::kDone &&
        result.left == RenameResult::Left::kNothing) {
      SaySuccess(new_path);
      return;
    }
    SayOther(result, old_path, new_path);
  }
  // After each picture: ends the open group once its share of time, its
  // limit or the folder's room is spent, and shows a person watching what
  // is final.
  void EndGroupIfDue() {
    if (!held_.empty() || show_) EndOrShow();
  }
  // Writes the open group to the disk and says its lines.
  void EndGroup();
  // Pictures said renamed so far, written to the disk or not.
  long renamed() const { return renamed_; }

 private:
  // A held line: its text, or a rename's result (a waiting one's comes
  // when the group is written).
  struct Line {
    std::string text;
    bool result = false;
    RenameResult said;
    std::string old_path, new_path;
  };

  void SaySuccess(std::string_view new_path) {
    out_.FixedRecord({{words::kSuccess, 21}, {new_path, 50}});
    ++renamed_;
  }
  void Hold(std::string_view line);
  void EndOrShow();
  void SayOther(const RenameResult& result, std::string_view old_path, std::string_view new_path);
  void SayNow(const RenameResult& result, std::string_view old_path, std::string_view new_path);
  // Learns from how long the group of `made` renames took how many the next
  // may take.
  void Learn(std::size_t made);

  OutputUnit& out_;
  Renamer& renamer_;
  platform::Host& host_;
  bool show_;  // flush once lines are final
  std::vector<Line> held_;
  std::vector<RenameResult> results_;
  platform::Host::Clock::time_point started_;
  // How many renames a group takes at most: learnt from how long the
  // groups before took, so that writing one stays within its share.
  std::size_t limit_ = 16;
  long renamed_ = 0;
};

// Plain words for a rename that was neither done nor refused a taken name.
std::string Describe(const RenameResult& result);

// A line that says a rename, or the run's renames, may not be on the disk:
// " Not written to the disk: PATH: REASON; CONSEQUENCE".
void ReportNotWritten(OutputUnit& out, std::string_view path, int error,
                      std::string_view consequence);

}  // namespace stampwise

#endif  // STAMPWISE_RENAME_HELD_LINES_HPP
