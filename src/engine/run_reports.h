#pragma once

#include <cstdint>

#include "engine/run_context.h"

namespace quelvaris {

// The two reports at the end of a run. Implementations may raise RunTimeError (or any
// exception); the run traps it, reports it, performs CloseFiles and goes on, so a failed results
// file never prevents the screen report. Column numbers are the run's range (2..NoOfCols or
// ColToAnal twice); the screen report narrows its own copy.
class RunReports {
 public:
  virtual ~RunReports() = default;
  virtual void WriteResultsFile(const RunContext& ctx, std::int16_t first, std::int16_t last) = 0;
  // Draws the report and shows it modally; returns when the user has closed it.
  virtual void WriteScreenReport(const RunContext& ctx, std::int16_t first, std::int16_t last) = 0;
};

}  // namespace quelvaris
