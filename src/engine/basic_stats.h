#pragma once

#include <cstdint>

#include "engine/run_context.h"

namespace quelvaris {

// The basic statistics of the observed series (column 1) into ObservedStats. Leaves the
// series' missing and out-of-bounds counts in the run counters. Traps its own run-time errors:
// reports them (detail "Column 1."), performs CloseFiles and returns.
void CalcObservedStats(const RunContext& ctx);

// The same for one modelled column (2 to 30) into CurrentModelledStats, and, when the figures
// are complete, into the column's ModelledStats record.
void CalcModelledStats(const RunContext& ctx, std::int16_t column);

}  // namespace quelvaris
