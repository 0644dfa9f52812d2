#include "engine/basic_stats.h"

#include <exception>
#include <string>

#include "engine/analysis_run.h"
#include "engine/series_figures.h"
#include "platform/int16.h"
#include "platform/run_time_error.h"
#include "settings/error_reporter.h"

namespace quelvaris {

namespace {

void CheckRowCount(int row_count) {
  if (row_count < 0 || row_count > DataTable::kRows) throw RunTimeError(err::kSubscript);
}

// The run's rule: the settings' missing-data code, the request's bounds when applied and its
// threshold.
SeriesRule SeriesRuleOf(const RunContext& ctx) {
  const AnalysisRequest& req = ctx.session.request;
  return {.missing_code = ctx.settings.GlobalMissingCode,
          .apply_bounds = ctx.host.SwitchOn(RunSwitch::ApplyBounds),
          .lower = req.LowerBound,
          .upper = req.UpperBound,
          .threshold = req.Threshold};
}

// Both routines run these steps on their own record over rows 1 to the row count, and leave
// the series' counts in the 16-bit run counters (checked, as every counter of the table is).
// Returns true when the record is complete.
bool SeriesFigures(const RunContext& ctx, int column, SeriesStats& rec, double min_start) {
  RunCounters& counters = ctx.session.counters;
  counters.MissingCount = 0;
  counters.OutOfBoundsCount = 0;
  rec.undefined = kAllBasicFigures;
  const int rows = counters.RowCount;
  CheckRowCount(rows);
  const double* x = ctx.session.table.Column(column);

  SeriesCounts counts;
  bool complete = false;
  try {
    complete = SeriesFiguresOf({x, static_cast<std::size_t>(rows)}, SeriesRuleOf(ctx), min_start,
                               rec, counts);
  } catch (...) {
    counters.MissingCount = ToInt16(static_cast<long long>(counts.missing));
    counters.OutOfBoundsCount = ToInt16(static_cast<long long>(counts.out_of_bounds));
    throw;
  }
  counters.MissingCount = ToInt16(static_cast<long long>(counts.missing));
  counters.OutOfBoundsCount = ToInt16(static_cast<long long>(counts.out_of_bounds));
  return complete;
}

void ReportColumnError(const RunContext& ctx, int number, int column) {
  ErrorReporter(ctx.host, number, "Column " + std::to_string(column) + ".");
  CloseFiles(ctx);
}

}  // namespace

void CalcObservedStats(const RunContext& ctx) {
  try {
    SeriesFigures(ctx, 1, ctx.session.ObservedStats, kObservedMinStart);
  } catch (const std::exception& e) {
    ReportColumnError(ctx, ErrorNumberOf(e), 1);
  }
}

void CalcModelledStats(const RunContext& ctx, std::int16_t column) {
  try {
    if (column < 2 || column > DataTable::kCols) throw RunTimeError(err::kSubscript);
    SeriesStats& rec = ctx.session.CurrentModelledStats;
    ModelledRecord& stored = ctx.session.ModelledStats[column];
    // Too few values leave the stored figures as they were (the reports show them), but they
    // are none of this run's.
    stored.undefined = kAllBasicFigures;
    if (!SeriesFigures(ctx, column, rec, kModelledMinStart)) return;
    stored = RecordOf(rec);
  } catch (const std::exception& e) {
    ReportColumnError(ctx, ErrorNumberOf(e), column);
  }
}

}  // namespace quelvaris
