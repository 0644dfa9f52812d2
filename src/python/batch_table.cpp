#include "batch_table.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <limits>
#include <span>

#include "engine/batch_reader.h"
#include "reports/machine_figures.h"

namespace py = pybind11;

namespace quelvaris::python {

namespace {

std::string NameOf(const BatchTable& t, int column) {
  const auto at = static_cast<std::size_t>(column - 1);
  if (at < t.names.size() && !t.names[at].empty()) return t.names[at];
  return DefaultColumnName(column);
}

// The batch command counts a value equal to the code as missing; Python's mark is NaN.
py::array_t<double> ArrayOf(std::span<const double> values, double missing_code) {
  py::array_t<double> out(static_cast<py::ssize_t>(values.size()));
  double* to = out.mutable_data();
  for (const double v : values) {
    *to++ = v == missing_code ? std::numeric_limits<double>::quiet_NaN() : v;
  }
  return out;
}

}  // namespace

py::dict ReadTable(const ReadRequest& request) {
  BatchReaderOptions options;
  options.delimiter = request.delimiter;
  options.decimal_comma = request.decimal_comma;
  options.header = request.header;
  if (request.columns) options.columns = *request.columns;
  if (request.na) options.missing_texts = *request.na;
  options.missing_code = request.missing_code;
  if (request.max_rows) options.max_rows = *request.max_rows;
  options.observed = request.observed;
  options.models = request.models;
  options.time = request.time;

  BatchTable table;
  try {
    py::gil_scoped_release unlocked;
    table = ReadBatchFile(request.path, options);
  } catch (const BatchReadError& e) {
    throw py::value_error(e.message);
  }

  py::dict out;
  out["observed"] = ArrayOf(table.observed, request.missing_code);
  py::list models;
  py::list names;
  for (std::size_t m = 0; m < table.models.size(); ++m) {
    models.append(ArrayOf(table.models[m], request.missing_code));
    names.append(NameOf(table, table.model_columns[m]));
  }
  out["models"] = models;
  out["observed_name"] = NameOf(table, table.observed_column);
  out["model_names"] = names;
  out["observed_column"] = table.observed_column;
  out["model_columns"] = table.model_columns;
  out["times"] = table.time_column == 0 ? py::object(py::none()) : py::cast(table.times);
  out["time_lines"] = table.time_lines;
  out["shown"] = DataFileShownName(request.path);
  out["rows"] = table.rows;
  return out;
}

}  // namespace quelvaris::python
