#pragma once

#include <string>
#include <vector>

#include "engine/extended_stats.h"

namespace quelvaris {

// The extended figures of a run laid out as one table, for the window that shows them and for
// its Copy and Save As: a heading row ("Figure", "Key", then each column's name), then one row
// per figure with its label, its key and each model's figure under the report's pattern. A
// column's name is the data file's header's (`names`, one per column; empty or missing where
// the header left it unnamed), else "Model N". An undefined figure is an empty cell.
using TextTable = std::vector<std::vector<std::string>>;

TextTable BuildExtendedTable(const std::vector<int>& columns, const std::vector<std::string>& names,
                             const std::vector<ExtendedStats>& figures, const std::string& pattern);

// The cells joined by `delimiter`, each row ended by `line_end`. A cell holding the delimiter,
// a double quote or a line break is quoted, its quotes doubled, so a spreadsheet reads it back
// as one cell.
std::string DelimitedText(const TextTable& table, char delimiter, const std::string& line_end);

}  // namespace quelvaris
