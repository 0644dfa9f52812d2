// The compiled half of the Python module: arrays in, the engine's Evaluate, arrays out. The
// conversions of pandas, xarray and lists live in quelvaris/__init__.py; no figure is
// computed here.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "batch_table.h"
#include "engine/benchmark_series.h"
#include "engine/evaluation.h"
#include "engine/interval_request.h"
#include "engine/stop_message.h"
#include "engine/time_column.h"
#include "engine/time_setup.h"
#include "engine/timed_scoring.h"
#include "figures_output.h"
#include "platform/visible_text.h"
#include "reports/machine_figures.h"
#include "series_input.h"

namespace py = pybind11;

namespace quelvaris::python {

namespace {

// The batch command's message for an observed series too short to evaluate.
// `rows`: the series' rows, where they are more than the evaluation's.
std::string StopMessage(const Evaluation& ev, std::int64_t rows) {
  TooFewValues v{
      .rows = rows, .period = false, .missing = ev.observed_counts.missing, .out_of_bounds = {}};
  if (ev.stop == EvaluationStop::TooFewInBounds) v.out_of_bounds = ev.observed_counts.out_of_bounds;
  return InsufficientDataMessage(v, "\n");
}

// What quelvaris.evaluate passes on besides the series: the options of the figures, and those
// of scoring over time and of the intervals as the texts the batch command would be given.
struct ScoringRequest {
  std::optional<double> missing_code;
  bool apply_bounds = false;
  double lower = 0;
  double upper = 0;
  double threshold = 0;
  bool aic_bic = false;
  int parameters = 0;
  int points = 0;
  bool extended = false;
  TimeOptionTexts time;
  std::optional<std::vector<std::string>> times;  // the stamps' texts, one per row
  std::vector<std::int64_t> lines;                // the line of each row, where a file has them
  std::string shown;                              // what messages name the stamps' source
  IntervalOptionTexts intervals;
};

// The series count the missing observed values of every row, as the reader counts a file's.
std::int64_t MissingOf(std::span<const double> observed, double code) {
  return std::count(observed.begin(), observed.end(), code);
}

py::dict EvaluateArrays(py::handle observed, const py::sequence& models,
                        const py::sequence& benchmark_columns, const ScoringRequest& request) {
  // The option checks of the batch command, in its order, before anything is computed.
  TimeOptionTexts time_texts = request.time;
  if (request.times) time_texts.time = request.shown;
  auto checked = CheckTimeOptions(time_texts);
  if (const auto* message = std::get_if<std::string>(&checked)) throw py::value_error(*message);
  const TimeSetup time = std::get<TimeSetup>(std::move(checked));
  IntervalRequest intervals;
  if (auto message = CheckIntervalOptions(request.intervals, intervals, time.time.has_value())) {
    throw py::value_error(*message);
  }

  std::vector<SeriesSource> sources;
  sources.reserve(models.size() + benchmark_columns.size() + 1);
  sources.push_back(SourceOf(observed, "observed"));
  for (const py::handle model : models) sources.push_back(SourceOf(model, "model"));
  for (const py::handle b : benchmark_columns) sources.push_back(SourceOf(b, "benchmark"));

  EvaluationOptions options;
  options.rule.apply_bounds = request.apply_bounds;
  options.rule.lower = request.lower;
  options.rule.upper = request.upper;
  options.rule.threshold = request.threshold;
  options.parameters = request.parameters;
  options.points = request.points;
  options.extended = request.extended;

  const std::size_t model_count = models.size();
  Evaluation ev;
  BootstrapResult bootstrap;
  std::optional<std::string> refusal;
  std::optional<TimedFile> timed;
  std::int64_t missing = 0;
  {
    // The sources keep their arrays alive; nothing below touches a Python object.
    py::gil_scoped_release unlocked;
    EngineSeries series = CopySeries(sources, request.missing_code);
    options.rule.missing_code = series.missing_code;
    const auto first_model = series.series.begin() + 1;
    const std::vector<std::span<const double>> modelled(
        first_model, first_model + static_cast<std::ptrdiff_t>(model_count));
    if (time.time) {
      TimedColumns columns{
          .observed = series.series.front(),
          .models = modelled,
          .benchmark_columns = {first_model + static_cast<std::ptrdiff_t>(model_count),
                                series.series.end()},
          .times = *request.times,
          .lines = request.lines};
      missing = MissingOf(series.series.front(), series.missing_code);
      const auto rows = static_cast<std::int64_t>(series.series.front().size());
      // As the batch command, the whole series first: too few values stop before the stamps.
      if (rows - missing < 4) {
        Evaluation stopped;
        stopped.observed_counts.missing = missing;
        refusal = StopMessage(stopped, rows);
      } else {
        try {
          timed = ScoreOverTime(time, columns, options, request.shown, 1);
          if (intervals.on && timed->timed.whole.evaluation.stop == EvaluationStop::None) {
            intervals.boot.threads = 0;  // one per core; the intervals do not depend on it
            refusal = ResampleWindow(intervals, series.series.front(), modelled, timed->stamps,
                                     timed->timed.window, time.by, options, bootstrap);
          }
        } catch (const TimeStampError& e) {
          refusal = VisibleText(e.what());
        }
      }
    } else {
      ev = Evaluate(series.series.front(), modelled, options);
      if (ev.stop == EvaluationStop::None && intervals.on) {
        intervals.boot.threads = 0;  // one per core; the intervals do not depend on it
        refusal = ResampleFile(intervals, series.series.front(), modelled, options, bootstrap);
      }
    }
  }
  if (refusal) throw py::value_error(*refusal);
  if (timed) {
    const ScoredSpan& whole = timed->timed.whole;
    if (whole.evaluation.stop == EvaluationStop::TooFewObserved) {
      throw py::value_error(
          InsufficientDataMessage({.rows = whole.period.rows,
                                   .period = true,
                                   .missing = whole.evaluation.observed_counts.missing,
                                   .out_of_bounds = {}},
                                  "\n"));
    }
    if (whole.evaluation.stop != EvaluationStop::None) {
      throw py::value_error(
          StopMessage(whole.evaluation, static_cast<std::int64_t>(sources.front().size)));
    }
    return TimedFiguresOf(*timed, BenchmarkNames(time), model_count,
                          static_cast<std::int64_t>(sources.front().size), missing, request.aic_bic,
                          request.extended, intervals.on ? &bootstrap : nullptr);
  }
  if (ev.stop != EvaluationStop::None) throw py::value_error(StopMessage(ev, ev.rows));
  return FiguresOf(ev, request.aic_bic, request.extended, intervals.on ? &bootstrap : nullptr);
}

// Whether a benchmark's text names one built from the observed series, not a column.
bool IsBuiltBenchmark(const std::string& text) {
  return BenchmarkOf(text).kind != BenchmarkKind::Column;
}

}  // namespace

}  // namespace quelvaris::python

PYBIND11_MODULE(_core, m) {
  m.doc() = "The compiled engine calls behind the quelvaris package; use quelvaris.evaluate.";
  m.def(
      "evaluate",
      [](py::handle observed, const py::sequence& models, const py::sequence& benchmark_columns,
         std::optional<double> missing_code, bool apply_bounds, double lower, double upper,
         double threshold, bool aic_bic, int parameters, int points, bool extended,
         std::optional<std::vector<std::string>> times, std::vector<std::int64_t> lines,
         std::string shown, std::optional<std::string> time_format, std::optional<std::string> from,
         std::optional<std::string> to, std::optional<std::string> skip,
         std::optional<std::string> by, std::vector<std::string> benchmarks,
         std::optional<std::string> benchmark_from, std::optional<std::string> benchmark_to,
         std::optional<std::string> bootstrap, std::optional<std::string> block,
         std::optional<std::string> confidence, bool jackknife, std::optional<std::string> seed) {
        quelvaris::python::ScoringRequest r;
        r.missing_code = missing_code;
        r.apply_bounds = apply_bounds;
        r.lower = lower;
        r.upper = upper;
        r.threshold = threshold;
        r.aic_bic = aic_bic;
        r.parameters = parameters;
        r.points = points;
        r.extended = extended;
        r.time = {.time = std::nullopt,
                  .time_format = std::move(time_format),
                  .from = std::move(from),
                  .to = std::move(to),
                  .skip = std::move(skip),
                  .by = std::move(by),
                  .benchmarks = std::move(benchmarks),
                  .benchmark_from = std::move(benchmark_from),
                  .benchmark_to = std::move(benchmark_to)};
        r.times = std::move(times);
        r.lines = std::move(lines);
        r.shown = std::move(shown);
        r.intervals = {.bootstrap = std::move(bootstrap),
                       .block = std::move(block),
                       .confidence = std::move(confidence),
                       .seed = std::move(seed),
                       .jackknife = jackknife};
        return quelvaris::python::EvaluateArrays(observed, models, benchmark_columns, r);
      },
      py::arg("observed"), py::arg("models"), py::kw_only(),
      py::arg("benchmark_columns") = py::list(), py::arg("missing_code") = py::none(),
      py::arg("apply_bounds") = false, py::arg("lower") = 0.0, py::arg("upper") = 9999.0,
      py::arg("threshold") = 0.0, py::arg("aic_bic") = false, py::arg("parameters") = 0,
      py::arg("points") = 0, py::arg("extended") = false, py::arg("times") = py::none(),
      py::arg("lines") = std::vector<std::int64_t>(), py::arg("shown") = "time",
      py::arg("time_format") = py::none(), py::arg("from_") = py::none(),
      py::arg("to") = py::none(), py::arg("skip") = py::none(), py::arg("by") = py::none(),
      py::arg("benchmarks") = std::vector<std::string>(), py::arg("benchmark_from") = py::none(),
      py::arg("benchmark_to") = py::none(), py::arg("bootstrap") = py::none(),
      py::arg("block") = py::none(), py::arg("confidence") = py::none(),
      py::arg("jackknife") = false, py::arg("seed") = py::none(),
      "Every figure of each model against the observed series: 1-D float64 arrays in, a "
      "dict of numpy arrays out; the options of time and intervals as the batch command's "
      "texts (see quelvaris.evaluate).");
  m.def("is_built_benchmark", &quelvaris::python::IsBuiltBenchmark, py::arg("text"),
        "Whether a benchmark's text names one built from the observed series, not a column.");
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
