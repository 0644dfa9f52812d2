#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace quelvaris::testing {

using CliResult = ProgramResult;

// Runs quelvaris-cli as RunProgram does.
CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& config_home,
                 const std::string& stdout_to = {});

}  // namespace quelvaris::testing
