#pragma once

#include "reports/batch_output.h"

namespace quelvaris {

struct SkillColumn;

// The text table: each run's results file laid out by AlignTable, its headings the column
// names, and below it a block for every figure group the results file does not hold, its
// undefined figures blank, and when the rows were resampled an "Intervals" block naming the
// resamples, the blocks and the confidence, with each model figure's interval and standard
// error. With several data files each table is headed by its file and followed by an empty
// line. With a time column the table is that of the evaluation period, headed by its stamps,
// with a "Skill" block for the benchmarks, and one such table follows for each period.
class TextOutput : public BatchOutput {
 public:
  explicit TextOutput(const OutputSetup& setup) : setup_(setup) {}

  void FileAt(const FileFigures& file, std::size_t index, std::string& out) const override;

 private:
  std::string Table(const std::string& results_text, const ColumnFigures& observed,
                    const std::vector<ColumnFigures>& models,
                    const std::vector<std::vector<SkillColumn>>* skill,
                    const std::vector<std::string>& benchmarks,
                    const BootstrapResult* bootstrap = nullptr) const;

  const OutputSetup& setup_;
};

}  // namespace quelvaris
