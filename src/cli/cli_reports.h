#pragma once

#include <cstdio>

#include "engine/run_reports.h"

namespace quelvaris::cli {

// The reports of a batch run: the results file exactly as the desktop program writes it, and
// in place of the results window the same lines as an aligned table on standard output, with
// every analysed column (a terminal scrolls sideways; the window could not).
class CliReports : public RunReports {
 public:
  explicit CliReports(std::FILE* out) : out_(out) {}

  void WriteResultsFile(const RunContext& ctx, std::int16_t first, std::int16_t last) override;
  void WriteScreenReport(const RunContext& ctx, std::int16_t first, std::int16_t last) override;

  bool report_written() const { return report_written_; }

 private:
  std::FILE* out_;
  bool report_written_ = false;
};

}  // namespace quelvaris::cli
