// The compiled half of the Python module: arrays in, the engine's Evaluate, arrays out. The
// conversions of pandas, xarray and lists live in quelvaris/__init__.py; no figure is
// computed here.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <vector>

#include "batch_table.h"
#include "engine/evaluation.h"
#include "figures_output.h"
#include "reports/machine_figures.h"
#include "series_input.h"

namespace py = pybind11;

namespace quelvaris::python {

namespace {

// The batch command's message for an observed series too short to evaluate.
std::string StopMessage(const Evaluation& ev) {
  std::string text = "Insufficient data to make calculations.\nOnly " + std::to_string(ev.rows) +
                     " rows processed.\n" + std::to_string(ev.observed_counts.missing) +
                     " missing observed values noted.";
  if (ev.stop == EvaluationStop::TooFewInBounds) {
    text += "\n" + std::to_string(ev.observed_counts.out_of_bounds) + " values out of range.";
  }
  return text;
}

py::dict EvaluateArrays(py::handle observed, const py::sequence& models,
                        std::optional<double> missing_code, bool apply_bounds, double lower,
                        double upper, double threshold, bool aic_bic, int parameters, int points,
                        bool extended) {
  std::vector<SeriesSource> sources;
  sources.reserve(models.size() + 1);
  sources.push_back(SourceOf(observed, "observed"));
  for (const py::handle model : models) sources.push_back(SourceOf(model, "model"));

  EvaluationOptions options;
  options.rule.apply_bounds = apply_bounds;
  options.rule.lower = lower;
  options.rule.upper = upper;
  options.rule.threshold = threshold;
  options.parameters = parameters;
  options.points = points;
  options.extended = extended;

  Evaluation ev;
  {
    // The sources keep their arrays alive; nothing below touches a Python object.
    py::gil_scoped_release unlocked;
    EngineSeries series = CopySeries(sources, missing_code);
    options.rule.missing_code = series.missing_code;
    const std::vector<std::span<const double>> modelled(series.series.begin() + 1,
                                                        series.series.end());
    ev = Evaluate(series.series.front(), modelled, options);
  }
  if (ev.stop != EvaluationStop::None) throw py::value_error(StopMessage(ev));
  return FiguresOf(ev, aic_bic, extended);
}

}  // namespace

}  // namespace quelvaris::python

PYBIND11_MODULE(_core, m) {
  m.doc() = "The compiled engine calls behind the quelvaris package; use quelvaris.evaluate.";
  m.def("evaluate", &quelvaris::python::EvaluateArrays, py::arg("observed"), py::arg("models"),
        py::kw_only(), py::arg("missing_code") = py::none(), py::arg("apply_bounds") = false,
        py::arg("lower") = 0.0, py::arg("upper") = 9999.0, py::arg("threshold") = 0.0,
        py::arg("aic_bic") = false, py::arg("parameters") = 0, py::arg("points") = 0,
        py::arg("extended") = false,
        "Every figure of each model against the observed series: 1-D float64 arrays in, a "
        "dict of numpy arrays out (see quelvaris.evaluate).");
  m.def(
      "read",
      [](std::string path, std::optional<char> delimiter, std::optional<bool> decimal_comma,
         std::optional<bool> header, std::optional<long long> columns,
         std::optional<std::vector<std::string>> na, double missing_code,
         std::optional<long long> max_rows, std::optional<std::string> observed,
         std::optional<std::string> models, std::optional<std::string> time) {
        return quelvaris::python::ReadTable(
            {std::move(path), delimiter, decimal_comma, header, columns, std::move(na),
             missing_code, max_rows, std::move(observed), std::move(models), std::move(time)});
      },
      py::arg("path"), py::kw_only(), py::arg("delimiter") = py::none(),
      py::arg("decimal_comma") = py::none(), py::arg("header") = py::none(),
      py::arg("columns") = py::none(), py::arg("na") = py::none(), py::arg("missing_code") = -999.0,
      py::arg("max_rows") = py::none(), py::arg("observed") = py::none(),
      py::arg("models") = py::none(), py::arg("time") = py::none(),
      "The batch reader (see quelvaris.read).");
  m.def("default_name", &quelvaris::DefaultColumnName, py::arg("column"),
        "The batch command's name of an unnamed data file column (1: the observed series).");
}
