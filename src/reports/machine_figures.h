#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/analysis_session.h"
#include "engine/bootstrap.h"
#include "engine/extended_stats.h"

// The figures of a run as the machine formats (tsv, csv, json) see them: named groups of named
// figures per column, each figure with its value and whether it is defined. A writer knows
// nothing of the statistics; a further group of figures is one more FigureGroup.

namespace quelvaris {

struct TimeFigures;

struct FigureValue {
  double value = 0;
  bool defined = false;
};

// Where the figures of one column are read from: the observed series' statistics, or a
// model's stored basic record, its error statistics and, when computed, its extended figures.
struct FigureSource {
  const SeriesStats* observed = nullptr;     // set for the observed series
  const ModelledRecord* modelled = nullptr;  // set for a model
  const ErrorStats* errors = nullptr;
  const ExtendedStats* extended = nullptr;    // null unless computed
  const ModelIntervals* intervals = nullptr;  // a model's, when the rows were resampled
};

// One figure: its stable machine name, the report's label, and where a run keeps it for a
// column (1 for the observed series).
struct FigureColumn {
  std::string_view key;  // "rmse", "mean": lower case, unique within its group
  std::string label;     // the report's label, "RMSE: "
  bool is_count;         // written as an integer
  std::function<FigureValue(const FigureSource&)> value;
};

struct FigureGroup {
  const char* key;       // the group's name in json ("basic", "errors")
  const char* title;     // its heading in the text table
  bool in_results_file;  // the results file (and so the text table) already holds it
  std::vector<FigureColumn> figures;
};

// The basic statistics of a series (observed or modelled), in report order.
FigureGroup BasicFigures();

// The 26 error statistics in report order; AIC and BIC only when asked for.
FigureGroup ErrorFigures(bool aic_bic);

// The extended figures of a model, in the order and with the keys of kExtendedStatDefinitions,
// undefined where they were not computed.
FigureGroup ExtendedFigures();

// A message box of a run, its line breaks as newlines.
struct ShownBox {
  std::string title;
  std::string text;
  bool error = false;
};

// The figures of one group of a column, read as FigureValue.
class FigureSpan {
 public:
  FigureSpan() = default;
  explicit FigureSpan(std::span<const double> values) : values_(values) {}
  std::size_t size() const { return values_.size(); }
  bool empty() const { return values_.empty(); }
  FigureValue operator[](std::size_t i) const {
    const double v = values_[i];
    return std::isnan(v) ? FigureValue{} : FigureValue{v, true};
  }

 private:
  std::span<const double> values_;
};

// The figures of a column, group after group, in one list: a table of periods holds hundreds
// of thousands of them, and a list per group would cost an allocation and a release each.
// An undefined figure is held as a NaN, which no statistic leaves behind as a figure (and no
// format could write as a number): half the memory of a value and a flag, for tables of
// thousands of periods.
class FigureLists {
 public:
  static constexpr std::size_t kMaxGroups = 4;

  std::size_t size() const { return groups_; }
  bool empty() const { return groups_ == 0; }
  FigureSpan operator[](std::size_t g) const {
    return FigureSpan(std::span<const double>(values_).subspan(
        g == 0 ? 0 : ends_[g - 1], ends_[g] - (g == 0 ? 0 : ends_[g - 1])));
  }
  FigureSpan front() const { return (*this)[0]; }

  // The figures of `groups`, read from `source`, or every one undefined without a source.
  void Fill(const std::vector<FigureGroup>& groups, const FigureSource* source);

 private:
  std::vector<double> values_;
  std::array<std::uint32_t, kMaxGroups> ends_{};  // one past each group's last value
  std::size_t groups_ = 0;
};

struct ColumnFigures {
  int column = 0;
  std::string name;    // from the header line, else "Obs" or "Mod  N" as in the reports
  FigureLists groups;  // one list per group, in the groups' order
  std::vector<std::vector<Interval>> intervals;  // as `groups`, when the rows were resampled
};

// Everything the machine formats write for one data file.
struct FileFigures {
  std::string file;          // as given on the command line
  bool has_figures = false;  // the run reached its reports; else only the messages count
  std::int64_t rows = 0;     // data rows read
  std::int64_t missing = 0;  // missing observed values
  std::vector<ShownBox> messages;
  ColumnFigures observed;  // its groups: the basic statistics
  std::vector<ColumnFigures> models;
  std::string results_text;                 // the run's results file text (for the text table)
  std::shared_ptr<const TimeFigures> time;  // a run with a time column: periods and skill
  // How the rows were resampled (its `models` empty: the intervals are in each model's
  // ColumnFigures); nothing when they were not.
  std::optional<BootstrapResult> bootstrap;
};

// The name of a column in the machine formats and the text table's headings: the header's
// name, else "Obs" or "Mod  N" as in the reports.
std::string ColumnName(const AnalysisSession& session, int column);
std::string DefaultColumnName(int column);

// A run's columns as the machine formats collect them.
struct RunColumn {
  int column = 0;  // in the data file, 1 for the observed series
  std::string name;
  FigureSource source;
};

struct RunFigures {
  std::int64_t rows = 0;     // data rows read
  std::int64_t missing = 0;  // missing observed values
  RunColumn observed;
  std::vector<RunColumn> models;
};

// The figures of a desktop-table run over the modelled columns first..last (extended: the
// extended figures of those columns in order, or empty).
RunFigures SessionFigures(const AnalysisSession& session, double missing_code,
                          std::span<const ExtendedStats> extended, std::int16_t first,
                          std::int16_t last);

// Fills `out` from a run that has reached its reports. `observed_groups` and `model_groups`
// name what to collect; `out` is reused from file to file, so its lists keep their room.
void CollectFigures(const RunFigures& run, const std::vector<FigureGroup>& observed_groups,
                    const std::vector<FigureGroup>& model_groups, FileFigures& out);

}  // namespace quelvaris
