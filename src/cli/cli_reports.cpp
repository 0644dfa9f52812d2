#include "cli/cli_reports.h"

#include "cli/text_table.h"
#include "platform/run_time_error.h"
#include "reports/results_file.h"

namespace quelvaris::cli {

void CliReports::WriteResultsFile(const RunContext& ctx, std::int16_t first, std::int16_t last) {
  WriteRunResultsFile(ctx, first, last);
}

void CliReports::WriteScreenReport(const RunContext& ctx, std::int16_t first, std::int16_t last) {
  const bool calc_aicbic = ctx.host.SwitchOn(RunSwitch::CalcAICBIC);
  const std::string table =
      AlignTable(BuildResultsFile(ctx.session, ctx.settings, first, last, calc_aicbic));
  if (std::fwrite(table.data(), 1, table.size(), out_) != table.size() || std::fflush(out_) != 0) {
    throw RunTimeError(err::kPathFileAccess);
  }
  report_written_ = true;
}

}  // namespace quelvaris::cli
