#include "cli/cli_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <limits>

#include "engine/input_checks.h"
#include "settings/settings_checks.h"

namespace quelvaris::cli {

namespace {

// Standard input stands in for a data file named "-"; the reader opens it by this name, so a
// pipe reads as a file does.
constexpr const char* kStandardInput = "/dev/stdin";

}  // namespace

void AddSwitch(CLI::App& app, const std::string& name, bool& value, const std::string& help) {
  // A flag takes its last occurrence by default; a switch given twice is a slip worth saying.
  app.add_flag(name, value, help)->multi_option_policy(CLI::MultiOptionPolicy::Throw);
}

void DeclareOptions(CLI::App& app, CliOptions& o, DataFiles files) {
  auto* data = app.add_option("DATAFILE", o.data_files,
                              files == DataFiles::Many
                                  ? "Data files: observed values in column 1, models after it; "
                                    "- reads one from standard input"
                                  : "Data file: observed values in column 1, models after it");
  data->required()->type_name("");
  if (files == DataFiles::One) data->expected(1);
  app.add_option("--columns", o.columns,
                 "Number of columns, observed included (2 to 30; default 2)")
      ->type_name("N");
  auto* column = app.add_option("--column", o.column, "Modelled column to analyse (default 2)")
                     ->type_name("C");
  AddSwitch(app, "--all", o.all, "Analyse every modelled column");
  auto* all = app.get_option("--all");
  column->excludes(all);
  all->excludes(column);
  AddSwitch(app, "--comma", o.comma, "Comma-delimited data file (default: tab)");
  AddSwitch(app, "--header", o.header, "The first line of the data file is a header");
  app.add_option("--threshold", o.threshold,
                 "Threshold of the peaks-over-threshold count (default 0)")
      ->type_name("X");
  AddSwitch(app, "--apply-bounds", o.apply_bounds, "Leave out values outside the bounds");
  app.add_option("--lower", o.lower, "Lower bound (default 0)")->type_name("L");
  app.add_option("--upper", o.upper, "Upper bound (default 9999)")->type_name("U");
  AddSwitch(app, "--aic-bic", o.aic_bic, "Report AIC and BIC");
  app.add_option("--parameters", o.parameters, "Number of model parameters, for AIC and BIC")
      ->type_name("P");
  app.add_option("--points", o.points, "Data points used in calibration, for AIC and BIC")
      ->type_name("M");
  app.add_option("--missing-code", o.missing_code,
                 "Missing-data code for this run (default: from the settings file)")
      ->type_name("X");
  app.add_option("--decimals", o.decimals,
                 "Decimals of the reported figures, 0 to 6 (default: from the settings file)")
      ->type_name("D");
  app.add_option("--settings", o.settings, "Settings file to load instead of the user's own")
      ->type_name("INI");
  app.add_option("--results", o.results,
                 files == DataFiles::Many
                     ? "Write the tab-separated results file here (one data file only)"
                     : "Write the tab-separated results file here")
      ->type_name("FILE");
  AddSwitch(app, "--quiet", o.quiet, "Do not write information messages to standard error");
}

void DeclareBatchOptions(CLI::App& app, CliOptions& o) {
  auto* dir = app.add_option("--results-dir", o.results_dir,
                             "Write the results file of each data file into this folder (made "
                             "when missing), as <name without extension>.results.txt; data "
                             "files of one name keep their folders below it")
                  ->type_name("DIR");
  dir->excludes(app.get_option("--results"));
  app.get_option("--results")->excludes(dir);
  app.add_option("--format", o.format,
                 "Standard output: text (the report as a table; default), tsv, csv or json")
      ->type_name("FORMAT");
  AddSwitch(app, "--rounded", o.rounded,
            "Figures of tsv, csv and json with the report's decimals instead of in full");
  AddSwitch(app, "--extended", o.extended,
            "Also the extended figures of each model (KGE variants, NSE of transformed flows, "
            "percent bias, dr, duration curve signatures)");
}

void DeclareVersion(CLI::App& app) {
  app.set_version_flag("--version", app.get_name() + " " + ProgramVersion(),
                       "Print the program's name and version and exit");
}

const char* ProgramVersion() {
  return QUELVARIS_VERSION;
}

namespace {

// Runs one box check; on acceptance the box shows the checked text, as in the window.
template <typename Check>
std::optional<std::string> Take(const std::optional<std::string>& text, RunBox box, Check check,
                                AnalysisRequest& request, RunInputs& inputs) {
  if (!text) return std::nullopt;
  CheckResult r = check(*text, request);
  if (!r.accepted) return r.message;
  inputs.boxes[box] = r.box_text;
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ApplyOptions(const CliOptions& o, AnalysisRequest& request,
                                        GlobalSettings& settings, RunInputs& inputs) {
  inputs.boxes = {{RunBox::ThreshText, "0"},        {RunBox::LowerBoundText, "0"},
                  {RunBox::UpperBoundText, "9999"}, {RunBox::ColToAnalText, "2"},
                  {RunBox::NoOfColsText, "2"},      {RunBox::AICBICParmsText, "0"},
                  {RunBox::AICBICPointsText, "0"}};
  inputs.switches = {{RunSwitch::HeaderRow, o.header},
                     {RunSwitch::TabDelimited, !o.comma},
                     {RunSwitch::AnalyseAll, o.all},
                     {RunSwitch::ApplyBounds, o.apply_bounds},
                     {RunSwitch::CalcAICBIC, o.aic_bic}};

  if (std::count(o.data_files.begin(), o.data_files.end(), "-") > 1) {
    return "Standard input (-) can be read only once.";
  }
  if (!o.wide_columns) {
    if (auto m = Take(o.columns, RunBox::NoOfColsText, CheckNoOfCols, request, inputs)) return m;
    if (auto m = Take(o.column, RunBox::ColToAnalText, CheckColToAnal, request, inputs)) return m;
  }
  if (auto m = Take(o.threshold, RunBox::ThreshText, CheckThresh, request, inputs)) return m;

  // The bounds: each must first be a number on its own, then the two are checked as a pair
  // against each other (or against the default of the one not given), since the order in
  // which a window's boxes are left does not exist on a command line.
  constexpr double kInf = std::numeric_limits<double>::infinity();
  AnalysisRequest lower_alone = request;
  lower_alone.UpperBound = kInf;
  if (auto m = Take(o.lower, RunBox::LowerBoundText, CheckLowerBound, lower_alone, inputs)) {
    return m;
  }
  AnalysisRequest upper_alone = request;
  upper_alone.LowerBound = -kInf;
  if (auto m = Take(o.upper, RunBox::UpperBoundText, CheckUpperBound, upper_alone, inputs)) {
    return m;
  }
  if (o.upper) request.UpperBound = upper_alone.UpperBound;
  if (o.lower) {
    if (auto m = Take(o.lower, RunBox::LowerBoundText, CheckLowerBound, request, inputs)) return m;
  } else if (o.upper) {
    if (auto m = Take(o.upper, RunBox::UpperBoundText, CheckUpperBound, request, inputs)) return m;
  }

  if (auto m = Take(o.parameters, RunBox::AICBICParmsText, CheckParms, request, inputs)) return m;
  if (auto m = Take(o.points, RunBox::AICBICPointsText, CheckPoints, request, inputs)) return m;

  if (o.missing_code) {
    SettingCheck r = CheckMissingCode(*o.missing_code, settings);
    if (!r.accepted) return r.message;
  }
  if (o.decimals) {
    SettingCheck r = CheckDecimals(*o.decimals, settings);
    if (!r.accepted) return r.message;
  }
  // An empty name names nothing: it must not fall back to the user's own settings file, nor
  // become a results file of no name.
  if (o.settings && o.settings->empty()) return "A settings file name is needed after --settings.";
  if (o.results && o.results->empty()) return "A results file name is needed after --results.";
  if (o.results && o.data_files.size() > 1) {
    return "--results takes one data file; use --results-dir for several.";
  }
  return std::nullopt;
}

void SetRunFiles(AnalysisRequest& request, const std::string& data_file,
                 const std::string& results_file) {
  request.DataFilePath = data_file == "-" ? kStandardInput : data_file;
  request.DataFileShown = data_file == "-" ? "standard input" : std::string();
  request.DataFileName = std::filesystem::path(data_file).filename().string();
  request.ResultsFilePath = results_file;
  request.ResultsFileName = std::filesystem::path(results_file).filename().string();
}

}  // namespace quelvaris::cli
