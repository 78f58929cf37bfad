#include "platform/console.hpp"

namespace stampwise::platform {

// Standard input and output are byte streams here already.
void UseBinaryConsole() {}

}  // namespace stampwise::platform
