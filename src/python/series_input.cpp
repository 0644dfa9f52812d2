#include "series_input.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

namespace py = pybind11;

namespace quelvaris::python {

namespace {

constexpr double kPreferredCode = -999;  // the program's own default, where the data allow it
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kLargest = std::numeric_limits<double>::max();

}  // namespace

SeriesSource SourceOf(py::handle object, const char* what) {
  if (!py::isinstance<py::array>(object)) {
    throw py::type_error(std::string(what) + ": a numpy array is needed here");
  }
  auto array = py::reinterpret_borrow<py::array>(object);
  if (array.ndim() != 1) throw py::type_error(std::string(what) + ": a 1-D array is needed here");
  if (!array.dtype().is(py::dtype::of<double>())) {
    throw py::type_error(std::string(what) + ": float64 values are needed here");
  }
  SeriesSource s;
  s.data = static_cast<const char*>(array.data());
  s.stride = array.strides(0);
  s.size = static_cast<std::size_t>(array.shape(0));
  s.array = std::move(array);
  return s;
}

double UnusedCode(std::span<const double> values) {
  const auto absent = [&](double code) {
    return std::find(values.begin(), values.end(), code) == values.end();
  };
  if (absent(kPreferredCode)) return kPreferredCode;
  double lo = kInfinity;
  double hi = -kInfinity;
  for (const double v : values) {
    if (std::isnan(v)) continue;
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  if (lo > -kLargest) return std::nextafter(lo, -kInfinity);
  if (hi < kLargest) return std::nextafter(hi, kInfinity);
  // Both ends of the number line are taken: a double between two neighbouring values.
  std::vector<double> sorted;
  sorted.reserve(values.size());
  for (const double v : values) {
    if (!std::isnan(v)) sorted.push_back(v);
  }
  std::sort(sorted.begin(), sorted.end());
  for (std::size_t i = 1; i < sorted.size(); ++i) {
    const double between = std::nextafter(sorted[i - 1], sorted[i]);
    if (between < sorted[i]) return between;
  }
  throw std::length_error("no number is left for the missing-data code");
}

EngineSeries CopySeries(const std::vector<SeriesSource>& sources, std::optional<double> code) {
  EngineSeries out;
  std::size_t total = 0;
  for (const SeriesSource& s : sources) total += s.size;
  out.values.resize(total);
  double* to = out.values.data();
  for (const SeriesSource& s : sources) {
    if (s.stride == static_cast<std::ptrdiff_t>(sizeof(double))) {
      std::memcpy(to, s.data, s.size * sizeof(double));
    } else {
      for (std::size_t i = 0; i < s.size; ++i) {
        std::memcpy(to + i, s.data + static_cast<std::ptrdiff_t>(i) * s.stride, sizeof(double));
      }
    }
    out.series.emplace_back(to, s.size);
    to += s.size;
  }
  out.missing_code = code ? *code : UnusedCode(out.values);
  for (double& v : out.values) {
    if (std::isnan(v)) v = out.missing_code;
  }
  return out;
}

}  // namespace quelvaris::python
