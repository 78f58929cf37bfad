// The program body: banner, instructions, the list and rename steps, the
// removal of the list file, the closing line and the final ENTER.
#ifndef STAMPWISE_CONSOLE_DRIVER_HPP
#define STAMPWISE_CONSOLE_DRIVER_HPP

namespace stampwise {

// Runs the program. Never returns: every run ends through the orderly end
// (exit status 0) or an input or output failure (exit status 127).
[[noreturn]] void MAIN();

}  // namespace stampwise

#endif  // STAMPWISE_CONSOLE_DRIVER_HPP
