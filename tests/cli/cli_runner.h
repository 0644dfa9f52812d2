#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace quelvaris::testing {

using CliResult = ProgramResult;

// Runs quelvaris-cli as RunProgram does, reading as the desktop program does
// (--desktop-reader): the behaviour these tests pin is the desktop program's.
CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& config_home,
                 const std::string& stdout_to = {});

// The same with the batch reader, the command's default.
CliResult RunCliReader(const std::vector<std::string>& args,
                       const std::filesystem::path& config_home, const std::string& stdout_to = {});

}  // namespace quelvaris::testing
