#include "engine/error_stats_calc.h"

#include <exception>
#include <string>

#include "engine/analysis_run.h"
#include "engine/error_figures.h"
#include "platform/int16.h"
#include "platform/run_time_error.h"
#include "settings/error_reporter.h"

namespace quelvaris {

namespace {

ErrorStats ComputeErrorStats(const RunContext& ctx, int column) {
  AnalysisSession& session = ctx.session;
  const AnalysisRequest& req = session.request;
  RunCounters& counters = session.counters;

  if (column < 2 || column > DataTable::kCols) throw RunTimeError(err::kSubscript);
  counters.MissingCount = 0;
  counters.OutOfBoundsCount = 0;
  const int rows = counters.RowCount;
  if (rows < 0 || rows > DataTable::kRows) throw RunTimeError(err::kSubscript);

  const SeriesRule rule{.missing_code = ctx.settings.GlobalMissingCode,
                        .apply_bounds = ctx.host.SwitchOn(RunSwitch::ApplyBounds),
                        .lower = req.LowerBound,
                        .upper = req.UpperBound,
                        .threshold = req.Threshold};
  const ErrorInputs inputs{session.ObservedStats, session.ModelledStats[column], req.AICBICParms,
                           req.AICBICPoints};
  const auto n = static_cast<std::size_t>(rows);
  SeriesCounts counts;
  ErrorScratch scratch;
  const auto keep_counts = [&] {
    counters.MissingCount = ToInt16(static_cast<long long>(counts.missing));
    counters.OutOfBoundsCount = ToInt16(static_cast<long long>(counts.out_of_bounds));
  };
  try {
    ErrorStats r = ErrorFiguresOf({session.table.Column(1), n}, {session.table.Column(column), n},
                                  rule, inputs, counts, scratch);
    keep_counts();
    return r;
  } catch (...) {
    keep_counts();
    throw;
  }
}

}  // namespace

void CalcErrorStats(const RunContext& ctx, std::int16_t column) {
  try {
    ErrorStats figures = ComputeErrorStats(ctx, column);
    ctx.session.Errors[column] = figures;
  } catch (const std::exception& e) {
    ErrorReporter(ctx.host, ErrorNumberOf(e), "Column " + std::to_string(column) + ".");
    CloseFiles(ctx);
  }
}

}  // namespace quelvaris
