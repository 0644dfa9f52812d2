#pragma once

#include <cstddef>
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

// Room for the text of any figure that WriteFigure writes.
inline constexpr std::size_t kFigureRoom = 40;

// The text AppendFigure appends, written at `at` (which has kFigureRoom characters of room)
// when it is a shortest text or a count's digits: the end of the text (`at` itself for an
// undefined figure), or nullptr, with nothing written, for a text of the report's decimals or
// a count beyond 2^53, which only AppendFigure writes.
char* WriteFigure(const FigureValue& figure, bool is_count, int decimals, char* at);

}  // namespace quelvaris
