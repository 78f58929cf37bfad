// Helpers for tests that work on real files: a fresh temporary folder, file
// contents, and runs of the real program with its console on files.
#ifndef STAMPWISE_TESTS_TEST_UTIL_HPP
#define STAMPWISE_TESTS_TEST_UTIL_HPP

#include <functional>
#include <map>
#include <string>

#include "console/output.hpp"
#include "platform/host.hpp"

namespace stampwise::test {

// A new, empty folder that is removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // path() + "/" + relative
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
void MakeDir(const std::string& path);

// Every file of a folder (not below it): name -> content.
std::map<std::string, std::string> Snapshot(const std::string& folder);

// Makes `path` the working directory until the end of its scope, whatever
// a failed assertion does in between.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::string& path);
  ~WorkingDirectory();
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  std::string before_;
};

// What `write` wrote into an output unit, whose records go to a file, and
// which holds them once `host` says that an interrupt came.
std::string Written(const std::function<void(OutputUnit&)>& write, platform::Host* host = nullptr);

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

// Runs the stampwise executable in `work_dir` with `input` on standard input.
// NO_STOP_MESSAGE is removed from its environment unless `no_stop_message`.
Outcome RunProgram(const std::string& work_dir, const std::string& input,
                   bool no_stop_message = false);

// What the program writes before it reads the folder name.
std::string Opening();
// The closing line.
std::string Closing();

}  // namespace stampwise::test

#endif  // STAMPWISE_TESTS_TEST_UTIL_HPP
