#pragma once

#include <pybind11/numpy.h>

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace quelvaris::python {

// One series as Python handed it: a 1-D float64 numpy array, kept alive (and its buffer with
// it) while the engine works without the interpreter lock.
struct SeriesSource {
  pybind11::array array;
  const char* data = nullptr;
  std::ptrdiff_t stride = 0;  // in bytes; any sign, as numpy views have
  std::size_t size = 0;
};

// The array behind `object`, which must be a 1-D float64 numpy array: the Python layer has
// converted every other input already, so anything else here is a TypeError, never a copy.
SeriesSource SourceOf(pybind11::handle object, const char* what);

// The series as the engine reads them: contiguous, NaN replaced by the missing-data code.
struct EngineSeries {
  std::vector<double> values;                   // every series, one after another
  std::vector<std::span<const double>> series;  // observed first, then each model
  double missing_code = 0;
};

// Copies the sources (no interpreter lock needed). With a code given, both it and NaN mark a
// missing value; without one, NaN alone does, under a code that no value of the data equals.
EngineSeries CopySeries(const std::vector<SeriesSource>& sources, std::optional<double> code);

// A number that no value in `values` equals (NaN never equals anything): -999 when it is
// free, else one just beyond the values' range, else one in a gap between two of them.
double UnusedCode(std::span<const double> values);

}  // namespace quelvaris::python
