#include "reports/extended_table.h"

#include "reports/delimited_field.h"
#include "settings/figure_format.h"

namespace quelvaris {

TextTable BuildExtendedTable(const std::vector<int>& columns, const std::vector<std::string>& names,
                             const std::vector<ExtendedStats>& figures,
                             const std::string& pattern) {
  TextTable table;
  std::vector<std::string> heading = {"Figure", "Key"};
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const bool named = i < names.size() && !names[i].empty();
    heading.push_back(named ? names[i] : "Model " + std::to_string(columns[i]));
  }
  table.push_back(std::move(heading));
  for (const ExtendedStatDefinition& d : kExtendedStatDefinitions) {
    std::vector<std::string> row = {std::string(d.label), std::string(d.key)};
    for (const ExtendedStats& model : figures) {
      const ExtendedFigure& f = FigureOf(model, d.stat);
      row.push_back(f.defined ? FormatFigure(f.value, pattern) : std::string());
    }
    table.push_back(std::move(row));
  }
  return table;
}

std::string DelimitedText(const TextTable& table, char delimiter, const std::string& line_end) {
  std::string text;
  for (const auto& row : table) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i > 0) text += delimiter;
      AppendDelimitedField(row[i], delimiter, text);
    }
    text += line_end;
  }
  return text;
}

}  // namespace quelvaris
