#pragma once

#include <memory>

#include "engine/analysis_session.h"

namespace quelvaris::testing {

// A session holding figures chosen so that each reported text is easy to predict and shows one
// rule of the number text: halves rounding away from zero, a negative figure rounding to zero,
// a count under any pattern, an undefined figure (the missing code -999 in MSRE).
//   observed:   Mean 12.345, SD 3.5, Skew -0.25, Kur 2.675, Min 0.125, Max 40, POT 7, OOB 1
//   column c:   Mean c + 0.5, SD c * 0.1, Skew -0.001, Kur 3, Min -c, Max 100 + c, POT c, OOB 0
//   error i of column c (report order, 0-based): c + 0.25 i; NSC = c + 10; MSRE = -999
inline std::unique_ptr<AnalysisSession> SessionWithFigures() {
  auto s = std::make_unique<AnalysisSession>();
  s->ObservedStats = {12.345, 3.5, -0.25, 2.675, 0.125, 40, 7, 1, 0};
  for (int c = 2; c <= 30; ++c) {
    s->ModelledStats[c] = {
        c + 0.5, c * 0.1, -0.001, 3, static_cast<double>(-c), 100.0 + c, static_cast<double>(c), 0};
    for (std::size_t i = 0; i < kErrorStatFields.size(); ++i) {
      s->Errors[c].*kErrorStatFields[i].field = c + 0.25 * static_cast<double>(i);
    }
    s->Errors[c].NSC = c + 10;
    s->Errors[c].MSRE = -999;
  }
  return s;
}

}  // namespace quelvaris::testing
