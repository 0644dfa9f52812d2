#pragma once

#include "reports/batch_output.h"

namespace quelvaris {

// tsv and csv: one header line, then one row per data file and modelled column: file, column,
// name, rows, missing, the observed groups' figures (named "obs_" + key), the model groups'
// figures. An undefined figure is an empty field. A field holding the delimiter, a double
// quote or a line break is quoted, its quotes doubled, so a standard CSV reader reads every
// field back whole (for tsv, with the tab as its delimiter). Lines end with LF.
class DelimitedOutput : public BatchOutput {
 public:
  DelimitedOutput(const OutputSetup& setup, char delimiter);

  void Begin(std::string& out) override;
  void FileAt(const FileFigures& file, std::size_t index, std::string& out) const override;

 private:
  void Figures(const std::vector<FigureGroup>& groups, const ColumnFigures& column,
               std::string& out) const;

  const OutputSetup& setup_;
  char delimiter_;
};

}  // namespace quelvaris
