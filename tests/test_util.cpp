#include "test_util.hpp"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#ifdef _WIN32
#include <process.h>
#else
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

#include "console/words.hpp"

namespace stampwise::test {

TempDir::TempDir() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (;;) {
    fs::path candidate = fs::temp_directory_path() / ("stampwise-test-" + std::to_string(random()));
    if (fs::create_directory(candidate)) {
      path_ = candidate.generic_string();
      return;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

WorkingDirectory::WorkingDirectory(const std::string& path)
    : before_(fs::current_path().generic_string()) {
  fs::current_path(path);
}

WorkingDirectory::~WorkingDirectory() {
  std::error_code ignored;
  fs::current_path(before_, ignored);
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << content;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

bool Exists(const std::string& path) {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(path, ignored));
}

void MakeDir(const std::string& path) { fs::create_directories(path); }

std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    if (entry.is_regular_file())
      files[entry.path().filename().string()] = ReadFile(entry.path().string());
  return files;
}

namespace {

std::string Quote(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

Outcome RunProgram(const std::string& work_dir, const std::string& input, bool no_stop_message) {
  TempDir io;
  WriteFile(io / "in", input);
#ifdef _WIN32
  std::string command = "cd /d " + Quote(work_dir) + " && " +
                        (no_stop_message ? "set NO_STOP_MESSAGE=1&& " : "set NO_STOP_MESSAGE=&& ") +
                        Quote(STAMPWISE_EXE);
#else
  std::string command = "cd " + Quote(work_dir) + " && " +
                        (no_stop_message ? "NO_STOP_MESSAGE=1 " : "env -u NO_STOP_MESSAGE ") +
                        Quote(STAMPWISE_EXE);
#endif
  command += " < " + Quote(io / "in") + " > " + Quote(io / "out") + " 2> " + Quote(io / "err");
  std::fflush(nullptr);
  int raw = std::system(command.c_str());
#ifdef _WIN32
  int status = raw;
#else
  int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
  return Outcome{status, ReadFile(io / "out"), ReadFile(io / "err")};
}

std::string Opening() {
  auto pad = [](std::string text) { return text.append(67 - text.size(), ' ') + "\r\n"; };
  return pad(words::kTitle) + "\r\n" + pad(words::kInstruction1) + pad(words::kInstruction2) +
         pad(words::kInstruction3);
}

std::string Closing() { return std::string(" ") + words::kClosing + "\r\n"; }

std::string Written(const std::function<void(OutputUnit&)>& write, platform::Host* host) {
  TempDir dir;
  std::string path = dir / "out";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  {
    OutputUnit out(file, "out", 6, host);
    write(out);
    out.Flush();
  }
  std::fclose(file);
  return ReadFile(path);
}

}  // namespace stampwise::test
