#include "ui/extended/extended_run.h"

#include <algorithm>
#include <span>

namespace quelvaris::ui {

std::vector<ExtendedStats> ExtendedRun::Figures() const {
  const std::vector<std::span<const double>> models(modelled.begin(), modelled.end());
  return ExtendedStatsOfModels(observed, models, rule);
}

ExtendedRun MakeExtendedRun(const RunContext& ctx, std::int16_t first, std::int16_t last) {
  ExtendedRun run;
  run.rule = PairRuleOf(ctx);
  run.pattern = ctx.settings.ResultFormat;
  run.data_file = ctx.session.request.DataFilePath;
  const int rows = std::clamp<int>(ctx.session.counters.RowCount, 0, DataTable::kRows);
  auto copy = [&](int column) {
    const double* values = ctx.session.table.Column(column);
    return std::vector<double>(values, values + rows);
  };
  run.observed = copy(1);
  for (int c = first; c <= last; ++c) {
    run.columns.push_back(c);
    run.modelled.push_back(copy(c));
  }
  return run;
}

}  // namespace quelvaris::ui
