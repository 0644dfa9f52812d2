#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/field_scanner.h"

namespace quelvaris {

// The missing-value texts of pandas' read_csv defaults, case as they stand there.
const std::vector<std::string>& DefaultMissingTexts();

// How the batch commands read a data file. Every guess (delimiter, decimal comma, header,
// which column is what) can be overridden.
struct BatchReaderOptions {
  std::optional<char> delimiter;        // '\t', ',', ';' or ' ' (runs of blanks); else detected
  std::optional<bool> decimal_comma;    // else detected with a semicolon delimiter
  std::optional<bool> header;           // else detected from the first two lines
  std::optional<std::int64_t> columns;  // fields per line; else those of the first line
  std::vector<std::string> missing_texts = DefaultMissingTexts();
  double missing_code = -999;  // what a missing text is read as
  std::int64_t max_rows = 50'000'000;
  // Columns by header name or 1-based number ("3"); models also as a list with ranges
  // ("2,5-9,flow_b"). Without them: the observed series is the first column that is no index or
  // time column, the models are the rest.
  std::optional<std::string> observed;
  std::optional<std::string> models;
  std::optional<std::string> time;  // a column kept as text, never a model
  // Columns read as benchmarks (by name or number): no model unless --models names them.
  std::vector<std::string> benchmarks;
  // A regular file with at least `range_bytes` after its first two lines is read in byte ranges
  // on up to `threads` threads.
  int threads = 1;
  std::int64_t range_bytes = std::int64_t{4} << 20;
};

// The columns a batch run scores, each as the file gave it.
struct BatchTable {
  Dialect dialect;
  bool header = false;
  std::int64_t columns = 0;        // fields per line
  std::vector<std::string> names;  // one per column of the file; empty without a header
  bool index_column = false;       // column 1 holds row names (R) or a pandas index
  int observed_column = 0;         // 1-based
  std::vector<int> model_columns;  // 1-based, in the order asked for
  int time_column = 0;             // 1-based; 0: none
  std::vector<double> observed;
  std::vector<std::vector<double>> models;  // one per model column
  std::vector<int> benchmark_columns;       // 1-based, one per options.benchmarks
  std::vector<std::vector<double>> benchmarks;
  std::vector<std::string> times;        // with a time column: its text of each row
  std::vector<std::int64_t> time_lines;  // and the line each row stands on
  std::int64_t rows = 0;
  std::int64_t wide_line = 0;  // the first line with more fields than `columns`; 0: none
  std::int64_t missing_observed = 0;
};

// A data file the batch reader cannot take: the whole message, naming the file (and where it
// applies the line, the column and the text).
struct BatchReadError {
  std::string message;
};

// Told of the rows of a file as they are read, on the reading thread, so that work on them can
// start while the rest of the file is still being read. From Start to Stop the rows told of
// stay where they are, unchanged, and may be read from another thread: a file read line by line
// into columns sized for it. Stop comes before the reader would move a column (the file turned
// out longer than its room) and at the end of the read, a failed one too.
class RowObserver {
 public:
  // The columns chosen and sized, before the first row told of.
  virtual void Start(const BatchTable& table) = 0;
  // The first `rows` rows of every column are read.
  virtual void Rows(std::int64_t rows) = 0;
  // No row is read from another thread from here on: returns once none is.
  virtual void Stop() = 0;

 protected:
  ~RowObserver() = default;
};

// Reads `path` ("-" or "/dev/stdin": standard input, shown as "standard input"). Raises
// BatchReadError.
BatchTable ReadBatchFile(const std::string& path, const BatchReaderOptions& options,
                         RowObserver* observer = nullptr);

// The name a data file goes by in messages.
std::string DataFileShownName(const std::string& path);

}  // namespace quelvaris
