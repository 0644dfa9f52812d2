#pragma once

#include <array>
#include <string>
#include <string_view>

#include "engine/data_table.h"

namespace quelvaris {

// The names a header line gives the columns, indexed by column number 1 to 30 (0 unused); an
// empty name when the line has no field for a column or the field is blank.
using ColumnNames = std::array<std::string, DataTable::kCols + 1>;

// Takes the first `columns` fields of a header line as the names. Unlike a data line, every
// delimiter separates two fields ("obs,,lag2" leaves column 2 unnamed), since a header is read
// for its names, not by the rules existing data files were written against; blanks (spaces,
// tabs) around a name are dropped. The rest of the line is not looked at.
void TakeColumnNames(std::string_view header, char delimiter, int columns, ColumnNames& names);

}  // namespace quelvaris
