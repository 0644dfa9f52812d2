#include "cli/output_failure.h"

#include <cerrno>
#include <cstring>

namespace quelvaris::cli {

std::optional<std::string> OutputFailureMessage(int error) {
  if (error == EPIPE) return std::nullopt;
  // A stream can fail without a system error (errno 0); it still cannot be written.
  const std::string reason = error != 0 ? std::strerror(error) : "the stream failed";
  return "Cannot write to standard output: " + reason + ".";
}

}  // namespace quelvaris::cli
