// The program's own words for what went wrong, the same in both builds: the
// C libraries disagree (one calls a busy file "Resource device"), and a
// user should read the same line on every platform.
#ifndef STAMPWISE_CONSOLE_REASON_HPP
#define STAMPWISE_CONSOLE_REASON_HPP

#include <string>

namespace stampwise {

// Words for an error number of <cerrno>. Numbers outside the program's
// table get the C library's words.
std::string Reason(int error);

}  // namespace stampwise

#endif  // STAMPWISE_CONSOLE_REASON_HPP
