#include "cli/cli_reports.h"

#include <algorithm>

#include "engine/extended_stats.h"
#include "reports/results_file.h"

namespace quelvaris::cli {

void CliReports::WriteResultsFile(const RunContext& ctx, std::int16_t first, std::int16_t last) {
  WriteRunResultsFile(ctx, first, last);
}

void CliReports::WriteScreenReport(const RunContext& ctx, std::int16_t first, std::int16_t last) {
  if (keep_.results_text) {
    const bool calc_aicbic = ctx.host.SwitchOn(RunSwitch::CalcAICBIC);
    figures_.results_text = BuildResultsFile(ctx.session, ctx.settings, first, last, calc_aicbic);
  }
  extended_.clear();
  if (keep_.extended) extended_ = CalcExtendedStats(ctx, first, last);
  RunFigures run =
      SessionFigures(ctx.session, ctx.settings.GlobalMissingCode, extended_, first, last);
  if (keep_.intervals != nullptr && keep_.intervals->on) Resample(ctx, first, last, run);
  CollectFigures(run, observed_groups_, model_groups_, figures_);
}

void CliReports::Resample(const RunContext& ctx, std::int16_t first, std::int16_t last,
                          RunFigures& run) {
  const AnalysisSession& session = ctx.session;
  const AnalysisRequest& req = session.request;
  const auto rows = static_cast<std::size_t>(std::max<int>(0, session.counters.RowCount));
  std::vector<std::span<const double>> models;
  for (int c = first; c <= last; ++c) models.emplace_back(session.table.Column(c), rows);
  EvaluationOptions options;
  options.rule = {ctx.settings.GlobalMissingCode, ctx.host.SwitchOn(RunSwitch::ApplyBounds),
                  req.LowerBound, req.UpperBound, req.Threshold};
  if (ctx.host.SwitchOn(RunSwitch::CalcAICBIC)) {
    options.parameters = req.AICBICParms;
    options.points = req.AICBICPoints;
  }
  options.extended = keep_.extended;
  interval_refusal_ =
      ResampleFile(*keep_.intervals, {session.table.Column(1), rows}, models, options, bootstrap_);
  if (interval_refusal_) return;
  figures_.bootstrap = bootstrap_;
  figures_.bootstrap->models.clear();
  for (std::size_t i = 0; i < run.models.size() && i < bootstrap_.models.size(); ++i) {
    run.models[i].source.intervals = &bootstrap_.models[i];
  }
}

void CliReports::BeginFile(const std::string& file) {
  figures_.file = file;
  figures_.has_figures = false;
  figures_.messages.clear();
  figures_.bootstrap.reset();
  interval_refusal_.reset();
}

}  // namespace quelvaris::cli
