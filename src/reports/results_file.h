#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/analysis_session.h"
#include "engine/run_context.h"
#include "platform/file_slot.h"
#include "settings/global_settings.h"

namespace quelvaris {

// The columns of a results file: the observed series' statistics and, for each model in
// order, its file column number (the heading "Mod  N"), stored basic record and error
// statistics.
struct ResultsColumn {
  int column = 0;
  const ModelledRecord* modelled = nullptr;
  const ErrorStats* errors = nullptr;
};

// The results file text: tab-separated fields, CRLF line ends, no line end after the last
// line; AIC and BIC lines only when calc_aicbic is set.
std::string BuildResultsText(const SeriesStats& observed, const std::vector<ResultsColumn>& models,
                             const std::string& result_format, bool calc_aicbic);

// The results file of a run over columns first..last (never narrowed): tab-separated fields,
// CRLF line ends, no line end after the last line. AIC and BIC lines only when calc_aicbic is
// set. A column outside 2..30 raises RunTimeError 9.
std::string BuildResultsFile(const AnalysisSession& session, const GlobalSettings& settings,
                             std::int16_t first, std::int16_t last, bool calc_aicbic);

// Writes text to path through the session's file slot. The text goes to a temporary file that
// replaces the target only once it is complete, so a failure leaves an earlier results file as
// it was. Failures raise RunTimeError (the slot is closed again first).
void WriteResultsFile(FileSlot& slot, const std::string& path, const std::string& text);

// Writes the results text of a run over `data_path` to `results_path`. The results file can
// never be the data file, under any name or link: that raises error 70 and leaves it alone.
void WriteResultsBeside(FileSlot& slot, const std::string& results_path,
                        const std::string& data_path, const std::string& text);

// What every front end does for the run's results file: build it with the host's AIC/BIC switch
// as it stands now and write it to the request's results file path.
void WriteRunResultsFile(const RunContext& ctx, std::int16_t first, std::int16_t last);

}  // namespace quelvaris
