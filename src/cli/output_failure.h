#pragma once

#include <csignal>
#include <optional>
#include <string>

namespace quelvaris::cli {

// The status of a call whose standard output was closed by its reader (a pipe into head):
// 128 + SIGPIPE, the status a shell shows for a program that the signal ends. The signal ends
// the program first unless it is ignored; then the write fails with EPIPE and the call ends
// with this status itself.
inline constexpr int kExitOutputClosed = 128 + SIGPIPE;

// The message for a write to standard output that failed with `error` (an errno value): the
// system's reason, as "Cannot write to standard output: No space left on device.". Nothing for
// a reader that has gone away (EPIPE), which ends the call quietly.
std::optional<std::string> OutputFailureMessage(int error);

}  // namespace quelvaris::cli
