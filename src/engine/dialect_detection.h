#pragma once

#include <optional>
#include <string_view>

#include "engine/field_scanner.h"

namespace quelvaris {

// The dialect of a data file from its first bytes, as spreadsheets and model codes write them:
// the delimiter is the first of tab, semicolon and comma that the first line holds outside
// quotes, else runs of blanks when the line has blanks between its fields, else tab (a file of
// one column). A decimal comma goes with a semicolon delimiter when the lines after the first
// hold numbers with a comma between digits and none with a point between digits. A given
// delimiter or decimal comma is taken as it stands.
Dialect DetectDialect(std::string_view start, std::optional<char> delimiter,
                      std::optional<bool> decimal_comma);

}  // namespace quelvaris
