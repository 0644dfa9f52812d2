#pragma once

#include <string>
#include <vector>

#include "reports/batch_output.h"

namespace quelvaris {

struct SpanFigures;
struct SkillColumn;

// tsv and csv: one header line, then one row per data file and modelled column: file, column,
// name, rows, missing, the observed groups' figures (named "obs_" + key), the model groups'
// figures and, when the rows were resampled, "<key>_low", "<key>_high" and "<key>_se" of every
// model figure (and "<key>_jackknife_se_low" and "_high" with the jackknife). An undefined
// figure is an empty field. A field holding the delimiter, a double
// quote or a line break is quoted, its quotes doubled, so a standard CSV reader reads every
// field back whole (for tsv, with the tab as its delimiter). Lines end with LF. With a time
// column each model has a row for the evaluation period (an empty `period`) and one per
// period, `period`, `period_start` and `period_end` after `name`, rows and missing those of the
// period; the skill columns `nse_skill_B`, ... and the benchmark's figures `nse_bench_B`, ...
// follow for each benchmark B.
class DelimitedOutput : public BatchOutput {
 public:
  DelimitedOutput(const OutputSetup& setup, char delimiter);

  void Begin(std::string& out) override;
  void FileAt(const FileFigures& file, std::size_t index, std::string& out) const override;
  void FilePieces(const FileFigures& file, std::size_t index,
                  std::vector<std::string>& pieces) const override;

 private:
  void Figures(const std::vector<FigureGroup>& groups, const ColumnFigures& column,
               std::string& out) const;
  // The fields of a row that depend on its span alone: the period's (with a time column), rows,
  // missing and the observed figures, each after a delimiter. No span: the file's own.
  std::string SpanText(const FileFigures& file, const ColumnFigures& observed,
                       const SpanFigures* span) const;
  // One row: `model_text` (file, column, name), `span_text`, then the model's own fields.
  void Row(const std::string& model_text, const std::string& span_text, const ColumnFigures& model,
           const std::vector<SkillColumn>* skill, std::string& out) const;
  void Intervals(const ColumnFigures& column, std::string& out) const;
  // Every row of model m of the file: the file's own, or the evaluation period's and then
  // each period's.
  void ModelRows(const FileFigures& file, const std::vector<std::string>& spans, std::size_t m,
                 std::string& out) const;

  const OutputSetup& setup_;
  char delimiter_;
};

}  // namespace quelvaris
