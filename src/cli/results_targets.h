#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_options.h"

namespace quelvaris::cli {

// The results file of each data file, in the order given (an empty path: none): the
// --results file for the one data file, or with --results-dir DIR the file
// DIR/<data file name without its extension>.results.txt ("stdin" standing for "-").
std::vector<std::string> ResultsTargets(const CliOptions& options);

// The message refusing a --results-dir that names no folder, or that would write one results
// file for two data files or over one of the data files; nothing when the targets are sound.
std::optional<std::string> CheckResultsTargets(const CliOptions& options);

}  // namespace quelvaris::cli
