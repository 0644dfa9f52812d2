#pragma once

#include "engine/analysis_request.h"
#include "engine/column_names.h"
#include "engine/data_table.h"
#include "engine/error_stats.h"
#include "engine/series_stats.h"
#include "platform/file_slot.h"

namespace quelvaris {

// Everything the main window (or the batch command) owns for its life: the request, the run
// counters, the data table, the column names of its header, the three statistics stores, the
// error table and the file slot.
// Nothing here is cleared between runs; a run overwrites what it computes.
struct AnalysisSession {
  AnalysisRequest request;
  RunCounters counters;
  DataTable table;
  ColumnNames names;  // from the header line of the last read; all empty without one
  SeriesStats ObservedStats;
  SeriesStats CurrentModelledStats;
  ModelledStatsTable ModelledStats{};
  ErrorTable Errors{};  // the ErrorTable of the run
  FileSlot file;
};

}  // namespace quelvaris
