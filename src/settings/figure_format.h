#pragma once

#include <string>

namespace quelvaris {

// A figure written under a ResultFormat pattern ("0", "0.0" ... "0.000000"), by the one
// number text rule every report and display box uses.
std::string FormatFigure(double value, const std::string& pattern);

// Counts (POT, OOB, NSC) always use the pattern "0".
std::string FormatCount(double value);

}  // namespace quelvaris
