#include "reports/report_rows.h"

#include <string>
#include <string_view>

#include "platform/run_time_error.h"

namespace quelvaris::report_rows {

void CheckColumnRange(std::int16_t first, std::int16_t last) {
  if (first > last) return;  // an empty range reaches no table
  if (first < 2 || last > 30) throw RunTimeError(err::kSubscript);
}

std::string ModelHeading(int column) {
  std::string digits = std::to_string(column < 0 ? -column : column);
  return std::string("Mod ") + (column < 0 ? "-" : " ") + digits + " ";
}

// clang-format off
const std::array<BasicStatRow, 8> kBasicStatRows{{
    {"mean", kMeanFigure, "Mean: ", "Mean: ", 2, false,
     [](const SeriesStats& s) { return s.Mean; }, &ModelledRecord::Mean},
    {"sd", kSDFigure, "SD: ", "SD: ", 2, false,
     [](const SeriesStats& s) { return s.SD; }, &ModelledRecord::SD},
    {"skew", kSkewFigure, "Skew: ", "Skew: ", 2, false,
     [](const SeriesStats& s) { return s.Skew; }, &ModelledRecord::Skew},
    {"kurtosis", kKurFigure, "Kurtosis: ", "Kurtosis: ", 1, false,
     [](const SeriesStats& s) { return s.Kur; }, &ModelledRecord::Kur},
    {"min", kMinFigure, "Min: ", "Minimum: ", 2, false,
     [](const SeriesStats& s) { return s.Min; }, &ModelledRecord::Min},
    {"max", kMaxFigure, "Max: ", "Maximum: ", 2, false,
     [](const SeriesStats& s) { return s.Max; }, &ModelledRecord::Max},
    {"pot", kPOTFigure, "POT: ", "POT: ", 2, true,
     [](const SeriesStats& s) { return static_cast<double>(s.POT); }, &ModelledRecord::POT},
    {"oob", kOOBFigure, "Out of Bounds: ", "Out of Bounds: ", 1, true,
     [](const SeriesStats& s) { return static_cast<double>(s.OOB); }, &ModelledRecord::OOB},
}};
// clang-format on

int ScreenTabsAfter(const char* label) {
  static constexpr std::string_view kOneTab[] = {
      "Correl Coeff: ", "R4MS4E: ", "MdAPE: ", "IRMSE: "};
  for (std::string_view l : kOneTab) {
    if (l == label) return 1;
  }
  return 2;
}

}  // namespace quelvaris::report_rows
