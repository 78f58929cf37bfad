// The program body: banner, instructions, the list and rename steps, the
// removal of the list file, the closing line and the final ENTER; and the
// order in which an interrupt ends a run.
#ifndef STAMPWISE_CONSOLE_DRIVER_HPP
#define STAMPWISE_CONSOLE_DRIVER_HPP

#include "console/output.hpp"
#include "list/command_processor.hpp"
#include "platform/host.hpp"

namespace stampwise {

// Runs the program. Never returns: every run ends through the orderly end
// (exit status 0), an input or output failure (exit status 127), or an
// interrupt (its own status).
[[noreturn]] void MAIN();

// The end of a run once its renames are done, `renamed` of them: the list
// file removed, then the Interrupted line and the interrupt's end, or the
// closing line, said before interrupts are let go.
void EndOfRun(OutputUnit& out, CommandProcessor& commands, platform::Host& host, long renamed);

}  // namespace stampwise

#endif  // STAMPWISE_CONSOLE_DRIVER_HPP
