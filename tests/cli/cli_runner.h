#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quelvaris::testing {

struct CliResult {
  int status = -1;  // exit status; -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Runs quelvaris-cli with args, its own settings looked for under config_home (so the user's
// real settings never leak into a test), and collects its exit status and both outputs.
// stdout_to, when given, receives standard output instead (then `out` stays empty).
CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& config_home,
                 const std::string& stdout_to = {});

}  // namespace quelvaris::testing
