#include "cli/cli_options.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <limits>

#include "engine/input_checks.h"
#include "settings/settings_checks.h"

namespace quelvaris::cli {

void DeclareOptions(CLI::App& app, CliOptions& o) {
  app.add_option("DATAFILE", o.data_file, "Data file: observed values in column 1, models after it")
      ->required();
  app.add_option("--columns", o.columns,
                 "Number of columns, observed included (2 to 30; default 2)");
  auto* column = app.add_option("--column", o.column, "Modelled column to analyse (default 2)");
  auto* all = app.add_flag("--all", o.all, "Analyse every modelled column");
  column->excludes(all);
  all->excludes(column);
  app.add_flag("--comma", o.comma, "Comma-delimited data file (default: tab)");
  app.add_flag("--header", o.header, "The first line of the data file is a header");
  app.add_option("--threshold", o.threshold,
                 "Threshold of the peaks-over-threshold count (default 0)");
  app.add_flag("--apply-bounds", o.apply_bounds, "Leave out values outside the bounds");
  app.add_option("--lower", o.lower, "Lower bound (default 0)");
  app.add_option("--upper", o.upper, "Upper bound (default 9999)");
  app.add_flag("--aic-bic", o.aic_bic, "Report AIC and BIC");
  app.add_option("--parameters", o.parameters, "Number of model parameters, for AIC and BIC");
  app.add_option("--points", o.points, "Data points used in calibration, for AIC and BIC");
  app.add_option("--missing-code", o.missing_code,
                 "Missing-data code for this run (default: from the settings file)");
  app.add_option("--decimals", o.decimals,
                 "Decimals of the reported figures, 0 to 6 (default: from the settings file)");
  app.add_option("--settings", o.settings, "Settings file to load instead of the user's own");
  app.add_option("--results", o.results, "Write the tab-separated results file here");
  app.add_flag("--quiet", o.quiet, "Do not write information messages to standard error");
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

  request.DataFilePath = o.data_file;
  request.DataFileName = std::filesystem::path(o.data_file).filename().string();
  if (o.results) {
    request.ResultsFilePath = *o.results;
    request.ResultsFileName = std::filesystem::path(*o.results).filename().string();
  }

  if (auto m = Take(o.columns, RunBox::NoOfColsText, CheckNoOfCols, request, inputs)) return m;
  if (auto m = Take(o.column, RunBox::ColToAnalText, CheckColToAnal, request, inputs)) return m;
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
  return std::nullopt;
}

}  // namespace quelvaris::cli
