#include "cli/cli_runner.h"

namespace quelvaris::testing {

CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& config_home,
                 const std::string& stdout_to) {
  std::vector<std::string> words = {"--desktop-reader"};
  words.insert(words.end(), args.begin(), args.end());
  return RunProgram(QUELVARIS_CLI_PATH, words, config_home, stdout_to);
}

CliResult RunCliReader(const std::vector<std::string>& args,
                       const std::filesystem::path& config_home, const std::string& stdout_to) {
  return RunProgram(QUELVARIS_CLI_PATH, args, config_home, stdout_to);
}

}  // namespace quelvaris::testing
