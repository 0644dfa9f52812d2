#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/analysis_session.h"
#include "settings/global_settings.h"

namespace quelvaris {

// One line of the screen report: its text with the tab characters the picture box expands, and
// the font it is drawn in.
struct ReportLine {
  std::string text;
  bool bold = false;
  bool window_font = false;  // drawn before the report font is set (the two leading empty lines)

  bool operator==(const ReportLine&) const = default;
};

// The screen report of a run over columns first..last. A range spanning more than 8 columns is
// narrowed to 2..8, since the window shows at most nine modelled columns side by side; the
// results file always holds them all. AIC and BIC lines only when calc_aicbic is set.
// A column outside 2..30 raises RunTimeError 9 before any line is built.
std::vector<ReportLine> BuildScreenReport(const AnalysisSession& session,
                                          const GlobalSettings& settings, std::int16_t first,
                                          std::int16_t last, bool calc_aicbic);

}  // namespace quelvaris
