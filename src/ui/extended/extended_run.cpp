#include "ui/extended/extended_run.h"

#include <algorithm>
#include <span>

namespace quelvaris::ui {

std::vector<ExtendedStats> ExtendedRun::Figures() const {
  const std::vector<std::span<const double>> models(modelled.begin(), modelled.end());
  return ExtendedStatsOfModels(observed, models, rule);
}

PairedSpread PairedSpreadOf(const ExtendedRun& run, std::size_t index) {
  PairedSpread spread;
  const std::vector<double>& modelled = run.modelled.at(index);
  const std::size_t rows = std::min(run.observed.size(), modelled.size());
  double o_first = 0, p_first = 0;
  bool o_varies = false, p_varies = false;
  for (std::size_t row = 0; row < rows; ++row) {
    const double o = run.observed[row], p = modelled[row];
    if (!run.rule.Usable(o) || !run.rule.Usable(p)) continue;
    if (spread.pairs++ == 0) {
      o_first = o;
      p_first = p;
    }
    o_varies = o_varies || o != o_first;
    p_varies = p_varies || p != p_first;
  }
  spread.observed_constant = spread.pairs > 0 && !o_varies;
  spread.modelled_constant = spread.pairs > 0 && !p_varies;
  return spread;
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
    run.names.push_back(ctx.session.names[static_cast<std::size_t>(c)]);
    run.modelled.push_back(copy(c));
  }
  return run;
}

}  // namespace quelvaris::ui
