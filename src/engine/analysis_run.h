#pragma once

#include "engine/run_context.h"
#include "engine/run_reports.h"

namespace quelvaris {

// The Calculate command: one call is one run. Returns when the screen report has been closed,
// or earlier when the run stops with a message.
void RunAnalysis(const RunContext& ctx, RunReports& reports);

// Clean-up after every trapped run-time error: default mouse pointer, the file slot closed.
void CloseFiles(const RunContext& ctx);

}  // namespace quelvaris
