#include "reports/delimited_output.h"

#include "reports/delimited_field.h"
#include "reports/machine_number.h"

namespace quelvaris {

DelimitedOutput::DelimitedOutput(const OutputSetup& setup, char delimiter)
    : setup_(setup), delimiter_(delimiter) {}

void DelimitedOutput::Begin(std::string& out) {
  out += "file";
  for (const char* key : {"column", "name", "rows", "missing"}) {
    out += delimiter_;
    out += key;
  }
  for (const auto& group : setup_.observed_groups) {
    for (const auto& figure : group.figures) {
      out += delimiter_;
      out += "obs_";
      out += figure.key;
    }
  }
  for (const auto& group : setup_.model_groups) {
    for (const auto& figure : group.figures) {
      out += delimiter_;
      out += figure.key;
    }
  }
  out += '\n';
}

void DelimitedOutput::Figures(const std::vector<FigureGroup>& groups, const ColumnFigures& column,
                              std::string& out) const {
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const auto& figures = groups[g].figures;
    for (std::size_t i = 0; i < figures.size(); ++i) {
      out += delimiter_;
      AppendFigure(column.groups[g][i], figures[i].is_count, setup_.decimals, out);
    }
  }
}

void DelimitedOutput::FileAt(const FileFigures& file, std::size_t /*index*/,
                             std::string& out) const {
  if (!file.has_figures) return;
  const std::string counts = std::to_string(file.rows) + delimiter_ + std::to_string(file.missing);
  for (const auto& model : file.models) {
    AppendDelimitedField(file.file, delimiter_, out);
    out += delimiter_;
    out += std::to_string(model.column);
    out += delimiter_;
    AppendDelimitedField(model.name, delimiter_, out);
    out += delimiter_;
    out += counts;
    Figures(setup_.observed_groups, file.observed, out);
    Figures(setup_.model_groups, model, out);
    out += '\n';
  }
}

}  // namespace quelvaris
