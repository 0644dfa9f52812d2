#pragma once

#include <string>

#include "reports/machine_figures.h"

namespace quelvaris {

// A figure in a machine format. In full precision (`decimals` < 0) it is the shortest text
// that reads back as the same double ("0.1", "1e+20", "-2.5e-07"); otherwise the report's
// text with that many decimals. A count is an integer either way. Every text is also a JSON
// number.
std::string MachineNumber(double value, bool is_count, int decimals);

// Appends a figure's text to out; false, with nothing appended, when it is undefined.
bool AppendFigure(const FigureValue& figure, bool is_count, int decimals, std::string& out);

}  // namespace quelvaris
