#include "cli/cli_reports.h"

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
  CollectFigures(
      SessionFigures(ctx.session, ctx.settings.GlobalMissingCode, extended_, first, last),
      observed_groups_, model_groups_, figures_);
}

void CliReports::BeginFile(const std::string& file) {
  figures_.file = file;
  figures_.has_figures = false;
  figures_.messages.clear();
}

}  // namespace quelvaris::cli
