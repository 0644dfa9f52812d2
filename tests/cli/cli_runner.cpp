#include "cli/cli_runner.h"

namespace quelvaris::testing {

CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& config_home,
                 const std::string& stdout_to) {
  return RunProgram(QUELVARIS_CLI_PATH, args, config_home, stdout_to);
}

}  // namespace quelvaris::testing
