#pragma once

#include "reports/batch_output.h"

namespace quelvaris {

// The text table: each run's results file laid out by AlignTable, its headings the column
// names, and below it a block for every figure group the results file does not hold, its
// undefined figures blank, and when the rows were resampled an "Intervals" block naming the
// resamples, the blocks and the confidence, with each model figure's interval and standard
// error. With several data files each table is headed by its file and
// followed by an empty line.
class TextOutput : public BatchOutput {
 public:
  explicit TextOutput(const OutputSetup& setup) : setup_(setup) {}

  void File(const FileFigures& file, std::string& out) override;

 private:
  const OutputSetup& setup_;
};

}  // namespace quelvaris
