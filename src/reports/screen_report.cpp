#include "reports/screen_report.h"

#include "reports/report_rows.h"
#include "settings/figure_format.h"

namespace quelvaris {

namespace {

std::string Figure(double value, bool is_count, const std::string& pattern) {
  return is_count ? FormatCount(value) : FormatFigure(value, pattern);
}

}  // namespace

std::vector<ReportLine> BuildScreenReport(const AnalysisSession& session,
                                          const GlobalSettings& settings, std::int16_t first,
                                          std::int16_t last, bool calc_aicbic) {
  // The test is "more than 8", so nine modelled columns (a ten-column file) still fit.
  if (last - first > 8) {
    first = 2;
    last = 8;
  }
  report_rows::CheckColumnRange(first, last);
  const std::string& pattern = settings.ResultFormat;

  std::vector<ReportLine> lines;
  lines.push_back({"", false, true});
  lines.push_back({"", false, true});

  std::string heading = "\t\tObserved\t";
  for (int c = first; c <= last; ++c) heading += report_rows::ModelHeading(c) + "\t\t";
  lines.push_back({heading, true, false});

  lines.push_back({"Basic Statistics", true, false});
  for (const auto& row : report_rows::kBasicStatRows) {
    std::string text = row.screen_label;
    text.append(row.screen_tabs, '\t');
    text += Figure(row.observed(session.ObservedStats), row.is_count, pattern);
    for (int c = first; c <= last; ++c) {
      text += "\t\t" + Figure(session.ModelledStats[c].*row.modelled, row.is_count, pattern);
    }
    lines.push_back({text, false, false});
  }

  const std::size_t shown = calc_aicbic ? kErrorStatFields.size() : kErrorStatFields.size() - 2;
  for (std::size_t i = 0; i < shown; ++i) {
    if (i == 0) lines.push_back({"Main Error Statistics", true, false});
    if (i == kMainErrorStatCount) lines.push_back({"Other Error Statistics", true, false});
    const ErrorStatField& f = kErrorStatFields[i];
    std::string text = f.label;
    text.append(report_rows::ScreenTabsAfter(f.label), '\t');
    for (int c = first; c <= last; ++c) {
      text += "\t\t" + Figure(session.Errors[c].*f.field, f.is_count, pattern);
    }
    lines.push_back({text, false, false});
  }
  return lines;
}

}  // namespace quelvaris
