// The command processor stand-in: whatever the folder name holds, the
// listing command only ever writes its list file, or runs nothing. Nothing
// is run, created or removed beside it.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "list/command_processor.hpp"

namespace fs = std::filesystem;

namespace {

std::set<std::string> Entries(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  static const fs::path work = [] {
    fs::path dir = fs::temp_directory_path() / ("stampwise-fuzz-cmd-" + std::to_string(getpid()));
    fs::create_directories(dir / "Cam1");
    std::ofstream(dir / "canary") << "canary";
    std::ofstream(dir / "AllFiles.txt") << "";
    std::ofstream(dir / "Cam1" / "2015-05-03 10-20-30 (2).JPG") << "picture";
    fs::current_path(dir);
    return dir;
  }();
  static const std::set<std::string> before = {"AllFiles.txt", "Cam1", "canary"};

  std::string folder(reinterpret_cast<const char*>(bytes), size);
  // The whole folder name stays inside its command; no NUL in a command line.
  if (folder.find('\0') != std::string::npos) return 0;
  std::string command = "dir /b " + folder + " > AllFiles.txt";
  stampwise::platform::RealDisk disk;
  stampwise::CommandProcessor commands(disk);
  int status = commands.Run(command);
  if (status != 0 && status != 1) std::abort();
  if (!fs::exists(work / "AllFiles.txt")) std::abort();
  if (Entries(work) != before) std::abort();
  if (Entries(work / "Cam1").size() != 1) std::abort();
  std::ifstream canary(work / "canary");
  std::string content;
  canary >> content;
  if (content != "canary") std::abort();
  return 0;
}
