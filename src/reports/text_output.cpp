#include "reports/text_output.h"

#include "reports/machine_number.h"
#include "reports/text_table.h"

namespace quelvaris {

namespace {

// A header name in a table cell: a tab or line break in it would break the table apart.
std::string CellText(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return text;
}

}  // namespace

void TextOutput::FileAt(const FileFigures& file, std::size_t /*index*/, std::string& out) const {
  if (!file.has_figures) return;
  const std::string& text = file.results_text;
  std::string tab_text = "\t" + CellText(file.observed.name);
  for (const auto& model : file.models) tab_text += "\t" + CellText(model.name);
  const std::size_t first_line_end = text.find("\r\n");
  tab_text += first_line_end == std::string::npos ? "\r\n" : text.substr(first_line_end);

  for (std::size_t g = 0; g < setup_.model_groups.size(); ++g) {
    const FigureGroup& group = setup_.model_groups[g];
    if (group.in_results_file) continue;
    tab_text += "\r\n\r\n";
    tab_text += group.title;
    tab_text += "\r\n";
    for (std::size_t i = 0; i < group.figures.size(); ++i) {
      tab_text += "\r\n";
      tab_text += group.figures[i].label;
      tab_text += '\t';
      for (const auto& model : file.models) {
        tab_text += '\t';
        // An undefined figure is a blank, as in the extended figures' window: the report's
        // missing-data code would pass for a result here.
        AppendFigure(model.groups[g][i], group.figures[i].is_count, setup_.decimals, tab_text);
      }
    }
  }

  if (setup_.several_files) {
    out += "File: ";
    out += CellText(file.file);
    out += '\n';
  }
  out += AlignTable(tab_text);
  if (setup_.several_files) out += '\n';
}

}  // namespace quelvaris
