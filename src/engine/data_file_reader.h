#pragma once

#include "engine/run_context.h"

namespace quelvaris {

enum class ReadResult {
  Completed,
  TooLarge,  // more than 10,000 data rows: the message has been shown, the run ends
};

// Reads the data file of the request into the data table through the session's file slot and
// sets the row count and the missing count. Failures other than a file too large are raised as
// RunTimeError (with the line, column or path in the detail) for the run to report. The file
// is closed on every way out.
ReadResult ReadDataFile(const RunContext& ctx);

}  // namespace quelvaris
