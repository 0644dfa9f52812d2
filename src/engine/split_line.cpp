#include "engine/split_line.h"

namespace quelvaris {

void SplitLine(std::string_view line, char delimiter, std::vector<std::string_view>& fields) {
  fields.clear();
  std::size_t start = 0;
  while (start < line.size()) {
    std::size_t end = line.find(delimiter, start + 1);
    if (end == std::string_view::npos) end = line.size();
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
