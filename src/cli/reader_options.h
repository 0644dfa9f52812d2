#pragma once

#include <optional>
#include <string>

#include "cli/cli_options.h"
#include "engine/batch_reader.h"

namespace CLI {
class App;
}

namespace quelvaris::cli {

// The options of the batch reader: --delimiter, --decimal-comma, --no-header, --na,
// --observed, --models, --max-rows, --desktop-reader and, for a program of many files, --jobs.
void DeclareReaderOptions(CLI::App& app, CliOptions& options, bool jobs = true);

// The message refusing a reader option's value, or nothing. Checked with the other values
// before anything is read.
std::optional<std::string> CheckReaderOptions(const CliOptions& options);

// The reader's options from the command line; `missing_code` is the run's.
BatchReaderOptions ReaderOptionsOf(const CliOptions& options, double missing_code);

// Files scored at a time: --jobs, else the number of cores.
int JobsOf(const CliOptions& options);

}  // namespace quelvaris::cli
