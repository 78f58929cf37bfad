#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "platform/console.hpp"
#include "platform/error_windows.hpp"
#include "platform/host_windows.hpp"
#include "platform/utf16.hpp"
#include "platform/utf8_windows.hpp"

namespace stampwise::platform {

namespace {

bool IsConsole(HANDLE handle) {
  DWORD mode;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

HANDLE HandleOf(std::FILE* stream) {
  return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
}

int WriteConsoleText(HANDLE handle, std::string_view text) {
  std::wstring wide = Widen(text);
  const wchar_t* next = wide.data();
  DWORD left = static_cast<DWORD>(wide.size());
  while (left > 0) {
    // Old consoles refuse very long writes; never split a surrogate pair.
    DWORD chunk = left < 8192 ? left : 8192;
    if (chunk < left && next[chunk - 1] >= 0xD800 && next[chunk - 1] <= 0xDBFF) --chunk;
    DWORD done = 0;
    if (!WriteConsoleW(handle, next, chunk, &done, nullptr) || done == 0)
      return ErrnoFromWindows(GetLastError());
    next += done;
    left -= done;
  }
  return 0;
}

}  // namespace

// Typed lines from a console, read as UTF-16 with ReadConsoleW: ReadFile
// and ReadConsoleA hand over a zero byte for every character outside ASCII
// while the input code page is UTF-8, and the code pages are the user's,
// not the program's, to set.
struct ConsoleReader::Typed {
  int Read(char* into, std::size_t room, std::size_t* got) {
    while (pos == bytes.size() && !ended) {
      if (int error = Fill()) return error;
    }
    std::size_t n = bytes.size() - pos < room ? bytes.size() - pos : room;
    std::memcpy(into, bytes.data() + pos, n);
    pos += n;
    *got = n;
    return 0;
  }

  int Fill() {
    bytes.clear();
    pos = 0;
    wchar_t units[512];
    DWORD count = 0;
    if (!ReadConsoleW(GetStdHandle(STD_INPUT_HANDLE), units, 512, &count, nullptr))
      return ErrnoFromWindows(GetLastError());
    if (count == 0) {
      ended = true;
    } else if (at_line_start && units[0] == L'\x1a') {
      ended = true;  // Ctrl+Z at the start of a line: the end of input
      count = 0;
    }
    decoder.Feed(reinterpret_cast<const char16_t*>(units), count, &bytes);
    if (ended) decoder.Finish(&bytes);
    if (count > 0) at_line_start = units[count - 1] == L'\n';
    return 0;
  }

  Utf16Decoder decoder;
  std::string bytes;
  std::size_t pos = 0;
  bool ended = false;
  bool at_line_start = true;
};

ConsoleReader::ConsoleReader() {
  if (IsConsole(GetStdHandle(STD_INPUT_HANDLE))) typed_ = std::make_unique<Typed>();
}
ConsoleReader::~ConsoleReader() = default;

void PrepareConsole() {
  // The program writes its own line ends and applies its own line rules:
  // no translation of either by the C library. The console's code pages
  // are left as the user has them.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

int ConsoleReader::Read(char* into, std::size_t room, std::size_t* got) {
  if (typed_ != nullptr) return typed_->Read(into, room, got);
  int n = _read(_fileno(stdin), into, static_cast<unsigned>(room));
  if (n < 0) return errno != 0 ? errno : EIO;
  *got = static_cast<std::size_t>(n);
  return 0;
}

namespace {

int WriteBytes(HANDLE handle, std::string_view text) {
  while (!text.empty()) {
    DWORD done = 0;
    if (!WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &done, nullptr))
      return ErrnoFromWindows(GetLastError());
    if (done == 0) return EIO;
    text.remove_prefix(done);
  }
  return 0;
}

}  // namespace

// A write that fails may be the first sign of an interrupt: the caller
// asks once it returns, and the interrupt must have been noted by then.
int WriteStream(std::FILE* stream, std::string_view text) {
  HANDLE handle = HandleOf(stream);
  int error = IsConsole(handle) ? WriteConsoleText(handle, text) : WriteBytes(handle, text);
  if (error != 0) AwaitInterrupt(250);
  return error;
}

bool IsInteractive(std::FILE* stream) { return IsConsole(HandleOf(stream)); }

}  // namespace stampwise::platform
