#include "reports/text_output.h"

#include "platform/number_text.h"
#include "reports/interval_figures.h"
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

// "[0.64, 0.77] 0.03", with the jackknife "[0.64, 0.77] 0.03 (0.01, 0.01)"; blank when the
// resamples gave no interval.
std::string IntervalCell(const Interval& v, int decimals, bool jackknife) {
  if (!v.defined) return {};
  std::string cell = "[" + MachineNumber(v.low, false, decimals) + ", " +
                     MachineNumber(v.high, false, decimals) + "] " +
                     MachineNumber(v.se, false, decimals);
  if (jackknife && v.jackknife_defined) {
    cell += " (" + MachineNumber(v.jackknife_se_low, false, decimals) + ", " +
            MachineNumber(v.jackknife_se_high, false, decimals) + ")";
  }
  return cell;
}

}  // namespace

void TextOutput::File(const FileFigures& file, std::string& out) {
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

  if (file.bootstrap && !file.models.empty()) {
    const BootstrapResult& b = *file.bootstrap;
    tab_text += "\r\n\r\nIntervals\r\n";
    tab_text += std::to_string(b.resamples) + " resamples of " + BlocksText(b) + ", " +
                FormatGeneral(b.confidence * 100) +
                " % percentile intervals [low, high] and the standard error, seed " +
                std::to_string(b.seed) +
                (setup_.jackknife ? "; jackknife errors of the ends" : "") + "\r\n";
    for (std::size_t g = 0; g < setup_.model_groups.size(); ++g) {
      const FigureGroup& group = setup_.model_groups[g];
      for (std::size_t i = 0; i < group.figures.size(); ++i) {
        tab_text += "\r\n";
        tab_text += group.figures[i].label;
        tab_text += '\t';
        for (const auto& model : file.models) {
          tab_text += '\t';
          if (g < model.intervals.size() && i < model.intervals[g].size()) {
            tab_text += IntervalCell(model.intervals[g][i], setup_.decimals, setup_.jackknife);
          }
        }
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
