#pragma once

#include <cstdint>
#include <string>

#include "engine/analysis_session.h"
#include "engine/run_context.h"
#include "platform/file_slot.h"
#include "settings/global_settings.h"

namespace quelvaris {

// The results file of a run over columns first..last (never narrowed): tab-separated fields,
// CRLF line ends, no line end after the last line. AIC and BIC lines only when calc_aicbic is
// set. A column outside 2..30 raises RunTimeError 9.
std::string BuildResultsFile(const AnalysisSession& session, const GlobalSettings& settings,
                             std::int16_t first, std::int16_t last, bool calc_aicbic);

// Writes text to path through the session's file slot. The text goes to a temporary file that
// replaces the target only once it is complete, so a failure leaves an earlier results file as
// it was. Failures raise RunTimeError (the slot is closed again first).
void WriteResultsFile(FileSlot& slot, const std::string& path, const std::string& text);

// What every front end does for the run's results file: build it with the host's AIC/BIC switch
// as it stands now and write it to the request's results file path.
void WriteRunResultsFile(const RunContext& ctx, std::int16_t first, std::int16_t last);

}  // namespace quelvaris
