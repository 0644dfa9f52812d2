#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

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
  std::vector<std::string> data_files;
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
  // The batch command's own.
  std::optional<std::string> results_dir;
  std::string format = "text";
  bool rounded = false;
  bool extended = false;
  // The batch reader of real files, the batch command's default.
  bool desktop_reader = false;  // the desktop program's reader, limits and defaults instead
  std::optional<std::string> delimiter;
  bool decimal_comma = false;
  bool no_header = false;
  std::optional<std::string> na;
  std::optional<std::string> observed;
  std::optional<std::string> models;
  std::optional<std::string> max_rows;
  std::optional<std::string> jobs;
  // Set by a program that reads with the batch reader: --columns and --column are then not
  // the desktop's boxes (2 to 30) but the reader's, checked by CheckReaderOptions.
  bool wide_columns = false;
};

// How many data files a program takes.
enum class DataFiles { One, Many };

// Declares the options every batch program shares on app, bound to options. Every switch may
// be given once; a repeated option is a wrong command line.
void DeclareOptions(CLI::App& app, CliOptions& options, DataFiles files);

// Declares a switch (an option without a value) the way DeclareOptions declares its own.
void AddSwitch(CLI::App& app, const std::string& name, bool& value, const std::string& help);

// The batch command's own options: --results-dir, --format, --rounded and --extended.
void DeclareBatchOptions(CLI::App& app, CliOptions& options);

// --version, printing the program's name and version ("quelvaris-cli 1.3").
void DeclareVersion(CLI::App& app);

// The version of the programs, from the build.
const char* ProgramVersion();

// The typed boxes and switches of a run, as the main window would hold them after the user had
// entered the options.
struct RunInputs {
  std::map<RunBox, std::string> boxes;
  std::map<RunSwitch, bool> switches;
};

// Checks the values in the order of the usage line and takes each accepted one into the
// request, the run inputs or (missing code, decimals) the settings. Returns the message of the
// first rejected value, or nothing when all were accepted. Nothing is read: the data files and
// the results file are set per run (SetRunFiles).
std::optional<std::string> ApplyOptions(const CliOptions& options, AnalysisRequest& request,
                                        GlobalSettings& settings, RunInputs& inputs);

// The data file and the results file of one run (an empty results path: none).
void SetRunFiles(AnalysisRequest& request, const std::string& data_file,
                 const std::string& results_file);

}  // namespace quelvaris::cli
