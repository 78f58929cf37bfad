#include <csignal>

#include "platform/console.hpp"

namespace stampwise::platform {

// Standard input and output are byte streams here already. A reader that
// goes away (`stampwise | head`) must make a write fail, so that the run
// takes its one path for output failures, not die of SIGPIPE half-way.
void PrepareConsole() { std::signal(SIGPIPE, SIG_IGN); }

}  // namespace stampwise::platform
