#pragma once

#include <cstdint>
#include <vector>

#include <QPointF>
#include <QString>

namespace quelvaris {
struct AnalysisSession;
struct BatchTable;
struct GlobalSettings;
struct SeriesRule;
}  // namespace quelvaris

namespace quelvaris::ui {

// The series of one run as the plots need them, copied out of the session so that a plot
// stays valid whatever later runs do to the data table.
struct PlotData {
  std::vector<int> columns;                 // 1 (observed), then each analysed modelled column
  std::vector<std::vector<double>> values;  // one entry per column above, one value per row
  std::vector<QString> names;  // the header's name of each column above; none without a header
  double missing_code = -999;
  bool apply_bounds = false;
  double lower = 0;
  double upper = 9999;
  double threshold = 0;
  // With a time column: the stamp of each row in seconds since 1970-01-01 00:00, and the
  // hydrograph is drawn against them; empty: against the row number.
  std::vector<double> times;
  // With periods: a figure of each model (after the observed series in `columns`) in each
  // period, NaN where it is undefined, with the periods' labels and the names of both.
  std::vector<QString> period_labels;
  std::vector<std::vector<double>> period_figure;  // [model][period]
  QString period_figure_name;                      // "NSE"
  QString period_grouping;                         // "water year"
  // Where each period stands along the hydrograph's time axis: the middle of its first and
  // last stamp, in seconds as `times`; empty for pooled groups (every January, ...), which
  // stand in calendar order instead.
  std::vector<double> period_middles;

  // Where row i (from 0) stands along the hydrograph's horizontal axis.
  double X(std::size_t i) const { return times.empty() ? static_cast<double>(i + 1) : times[i]; }
  int Rows() const { return values.empty() ? 0 : static_cast<int>(values.front().size()); }
  // The values of a column of the run; empty when the run did not analyse it.
  const std::vector<double>& Values(int column) const;
  // The header's name of a column; empty when the file had no header or left it unnamed.
  QString Name(int column) const;
  bool Missing(double v) const { return v == missing_code; }
  bool OutOfBounds(double v) const { return apply_bounds && (v > upper || v < lower); }
  // The rule of the statistics: not missing and, with bounds applied, within them.
  bool Usable(double v) const { return !Missing(v) && !OutOfBounds(v); }
};

// Rows 1 to the run's row count of column 1 and of columns first..last.
PlotData MakePlotData(const AnalysisSession& session, const GlobalSettings& settings,
                      bool apply_bounds, std::int16_t first, std::int16_t last);

// The columns of a file read by the batch reader: the observed series as column 1, each model
// under its column in the file.
PlotData MakePlotData(BatchTable&& table, const SeriesRule& rule);

// Keeps rows first .. first + count - 1 of every column (and of the stamps): the rows a run
// scored.
void KeepRows(PlotData& data, std::size_t first, std::size_t count);

// The stretches of a series between missing values, as (X, value) points (the row counted from
// 1, or its stamp). A missing value ends a stretch, so a line never dips to the missing-data
// code; with stamps, so does a step in time more than twice the usual one (rows left out of
// the file).
std::vector<std::vector<QPointF>> ContiguousRuns(const PlotData& data, int column);

// The values of a column outside the bounds, as (X, value); none when bounds do not apply.
std::vector<QPointF> OutOfBoundsPoints(const PlotData& data, int column);

// (observed, modelled) for the rows where both values are usable: the pairs the error
// statistics are computed from.
std::vector<QPointF> UsablePairs(const PlotData& data, int column);

// The usable values of a column in descending order against their exceedance probability in
// percent, by the Weibull plotting position 100 * m / (n + 1) for the m-th largest of n.
std::vector<QPointF> DurationCurve(const PlotData& data, int column);

// At most about 2 * buckets points of `points` (sorted by x) that lie in [x_min, x_max] plus
// one neighbour on each side, so the line still reaches the edges. Each bucket keeps its
// lowest and highest point in their order, so peaks and troughs survive the thinning.
std::vector<QPointF> Decimate(const std::vector<QPointF>& points, double x_min, double x_max,
                              int buckets);

}  // namespace quelvaris::ui
