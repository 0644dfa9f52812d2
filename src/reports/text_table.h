#pragma once

#include <string>

namespace quelvaris {

// Lays tab-separated lines (ended by CRLF or LF) out as a plain text table: every column padded
// so that its fields line up, the first (labels) to the left, the others (figures) to the right,
// two blanks between columns (widths counted in UTF-8 characters). Lines with a single field
// (section headings, empty lines) do not widen the label column. Every output line ends with a
// newline; no trailing blanks.
std::string AlignTable(const std::string& tab_text);

}  // namespace quelvaris
