#include "ui/main/window_run_reports.h"

#include <vector>

#include "reports/results_file.h"
#include "reports/screen_report.h"
#include "ui/extended/extended_run.h"
#include "ui/plot/plot_data.h"

namespace quelvaris::ui {

void WindowRunReports::WriteResultsFile(const RunContext& ctx, std::int16_t first,
                                        std::int16_t last) {
  WriteRunResultsFile(ctx, first, last);
}

void WindowRunReports::WriteScreenReport(const RunContext& ctx, std::int16_t first,
                                         std::int16_t last) {
  // Built before the window is touched: a report that cannot be built leaves no window behind.
  const std::vector<ReportLine> report = BuildScreenReport(
      ctx.session, ctx.settings, first, last, ctx.host.SwitchOn(RunSwitch::CalcAICBIC));

  std::vector<DrawnLine> lines;
  lines.reserve(report.size());
  for (const ReportLine& line : report) {
    lines.push_back({QString::fromStdString(line.text), line.bold, line.window_font});
  }
  if (!window_) window_ = new ResultsFrm(parent_);
  window_->Picture()->Clear();
  window_->Picture()->DrawLines(lines);
  window_->SetPlotData(std::make_shared<const PlotData>(MakePlotData(
      ctx.session, ctx.settings, ctx.host.SwitchOn(RunSwitch::ApplyBounds), first, last)));
  window_->SetExtendedRun(std::make_shared<const ExtendedRun>(MakeExtendedRun(ctx, first, last)));
  window_->exec();  // returns once the user has closed (and so deleted) the window
}

}  // namespace quelvaris::ui
