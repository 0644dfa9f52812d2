#pragma once

#include <map>
#include <optional>
#include <string>

#include "engine/analysis_request.h"
#include "engine/run_host.h"
#include "settings/global_settings.h"

namespace CLI {
class App;
}

namespace quelvaris::cli {

// The command line as given. Numeric values stay text so that they go through the same checks,
// with the same messages, as the boxes of the windows.
struct CliOptions {
  std::string data_file;
  std::optional<std::string> columns;
  std::optional<std::string> column;
  bool all = false;
  bool comma = false;
  bool header = false;
  std::optional<std::string> threshold;
  bool apply_bounds = false;
  std::optional<std::string> lower;
  std::optional<std::string> upper;
  bool aic_bic = false;
  std::optional<std::string> parameters;
  std::optional<std::string> points;
  std::optional<std::string> missing_code;
  std::optional<std::string> decimals;
  std::optional<std::string> settings;
  std::optional<std::string> results;
  bool quiet = false;
};

// Declares every option on app, bound to options.
void DeclareOptions(CLI::App& app, CliOptions& options);

// The typed boxes and switches of a run, as the main window would hold them after the user had
// entered the options.
struct RunInputs {
  std::map<RunBox, std::string> boxes;
  std::map<RunSwitch, bool> switches;
};

// Checks the values in the order of the usage line and takes each accepted one into the
// request, the run inputs or (missing code, decimals) the settings for this run only.
// Returns the message of the first rejected value, or nothing when all were accepted.
std::optional<std::string> ApplyOptions(const CliOptions& options, AnalysisRequest& request,
                                        GlobalSettings& settings, RunInputs& inputs);

}  // namespace quelvaris::cli
