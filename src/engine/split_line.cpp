#include "engine/split_line.h"

namespace quelvaris {

void SplitLine(std::string_view line, char delimiter, std::vector<std::string_view>& fields) {
  fields.clear();
  std::size_t start = 0;
  while (start < line.size()) {
    // Fields are short: a plain loop beats a library search call per field.
    std::size_t end = start + 1;
    while (end < line.size() && line[end] != delimiter) ++end;
    fields.push_back(line.substr(start, end - start));
    start = end + 1;
  }
}

std::vector<std::string_view> SplitLine(std::string_view line, char delimiter) {
  std::vector<std::string_view> fields;
  SplitLine(line, delimiter, fields);
  return fields;
}

}  // namespace quelvaris
