#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_options.h"

namespace quelvaris::cli {

// The results file of each data file, in the order given (an empty path: none): the
// --results file for the one data file, or with --results-dir DIR the file
// DIR/<data file name without its extension>.results.txt ("stdin" standing for "-"). Data
// files whose names would give the same results file keep their folders below the folder they
// share: a/flows.txt and b/flows.txt have DIR/a/flows.results.txt and DIR/b/flows.results.txt.
std::vector<std::string> ResultsTargets(const CliOptions& options);

// Makes the folders the results files go into (DIR and those below it) where they are missing.
void MakeResultsFolders(const std::vector<std::string>& targets);

// The message refusing a --results-dir that names no folder, or that would write one results
// file for two data files or over one of the data files; nothing when the targets are sound.
std::optional<std::string> CheckResultsTargets(const CliOptions& options);

}  // namespace quelvaris::cli
