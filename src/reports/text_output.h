#pragma once

#include "reports/batch_output.h"

namespace quelvaris {

// The text table: each run's results file laid out by AlignTable, its headings the column
// names, and below it a block for every figure group the results file does not hold, its
// undefined figures blank. With several data files each table is headed by its file and
// followed by an empty line.
class TextOutput : public BatchOutput {
 public:
  explicit TextOutput(const OutputSetup& setup) : setup_(setup) {}

  void FileAt(const FileFigures& file, std::size_t index, std::string& out) const override;

 private:
  const OutputSetup& setup_;
};

}  // namespace quelvaris
