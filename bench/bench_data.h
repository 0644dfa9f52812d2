#pragma once

#include <string>

namespace quelvaris {

// Where the data file has missing values.
enum class BenchGaps {
  Everywhere,    // about 1 % of every column
  ObservedOnly,  // the same in the observed column, none in the models (models run complete)
};

// The largest data file the program accepts, 10,000 rows x 30 columns, written into the
// temporary folder under a name with `tag` and the process id: a seasonal, flow-like observed
// series and 29 models that follow it with their own bias and noise, about 1 % of the values
// missing (-999). The same bytes on every machine and library. Returns its path; the file is
// removed when the program ends.
// `rows` other than 10,000 gives a longer record of the same kind, for the batch reader.
std::string WriteBenchDataFile(const std::string& tag, BenchGaps gaps = BenchGaps::Everywhere,
                               int rows = 10000);

inline constexpr int kBenchRows = 10000;
inline constexpr int kBenchCols = 30;

}  // namespace quelvaris
