#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "platform/console.hpp"

namespace stampwise::platform {

void PrepareConsole() {
  // The program writes its own line ends and applies its own line rules:
  // no translation of either by the C library.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  // A folder name typed at a console arrives as UTF-8, as names travel here.
  SetConsoleCP(CP_UTF8);
  SetConsoleOutputCP(CP_UTF8);
}

}  // namespace stampwise::platform
