#pragma once

#include <cstdint>

#include "engine/run_context.h"

namespace quelvaris {

// The 26 error statistics of one modelled column (2 to 30) against the observed series, into
// the column's ErrorTable record, which is replaced whole or not at all. Needs this run's
// ObservedStats and the column's ModelledStats. Leaves the pair's missing and out-of-bounds
// counts in the run counters. Traps its own run-time errors (detail "Column C."), performs
// CloseFiles and returns.
void CalcErrorStats(const RunContext& ctx, std::int16_t column);

}  // namespace quelvaris
