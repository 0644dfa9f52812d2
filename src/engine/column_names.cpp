#include "engine/column_names.h"

#include <algorithm>

namespace quelvaris {

namespace {

std::string_view TrimBlanks(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

void TakeColumnNames(std::string_view header, char delimiter, int columns, ColumnNames& names) {
  for (auto& name : names) name.clear();
  const int last = std::min(columns, DataTable::kCols);
  std::size_t start = 0;
  for (int c = 1; c <= last && start <= header.size(); ++c) {
    const std::size_t end = std::min(header.find(delimiter, start), header.size());
    names[c] = TrimBlanks(header.substr(start, end - start));
    start = end + 1;
  }
}

}  // namespace quelvaris
