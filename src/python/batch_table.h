#pragma once

#include <pybind11/pybind11.h>

#include <optional>
#include <string>
#include <vector>

namespace quelvaris::python {

// What quelvaris.read passes on: the batch command's reader options by their Python names.
struct ReadRequest {
  std::string path;
  std::optional<char> delimiter;
  std::optional<bool> decimal_comma;
  std::optional<bool> header;
  std::optional<long long> columns;
  std::optional<std::vector<std::string>> na;
  double missing_code = -999;
  std::optional<long long> max_rows;
  std::optional<std::string> observed;
  std::optional<std::string> models;
  std::optional<std::string> time;
};

// Reads a data file with the batch reader, without the interpreter lock:
//   {"observed": ndarray, "models": [ndarray...], "observed_name", "model_names": [...],
//    "observed_column", "model_columns": [...], "times": [str...] or None,
//    "time_lines": [line of each row], "shown": the file as messages name it, "rows"}
// each value equal to the missing-data code (a missing text included) as NaN. A file the
// reader cannot take raises ValueError with its message.
pybind11::dict ReadTable(const ReadRequest& request);

}  // namespace quelvaris::python
