#include "figures_output.h"

#include <pybind11/numpy.h>

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

#include "reports/machine_figures.h"
#include "settings/error_reporter.h"

namespace py = pybind11;

namespace quelvaris::python {

namespace {

constexpr double kUndefined = std::numeric_limits<double>::quiet_NaN();

// The evaluation as the machine formats collect a run: the observed series and each model.
RunFigures RunOf(const Evaluation& ev, bool extended) {
  RunFigures run;
  run.rows = ev.rows;
  run.missing = ev.observed_counts.missing;
  run.observed = {1, DefaultColumnName(1), {.observed = &ev.observed}};
  run.models.reserve(ev.models.size());
  for (std::size_t m = 0; m < ev.models.size(); ++m) {
    const ModelEvaluation& model = ev.models[m];
    const int column = static_cast<int>(m) + 2;
    run.models.push_back({column,
                          DefaultColumnName(column),
                          {.modelled = &model.record,
                           .errors = &model.errors,
                           .extended = extended ? &model.extended : nullptr}});
  }
  return run;
}

double ValueOf(const FigureValue& f) {
  return f.defined ? f.value : kUndefined;
}

// The run-time error message as the batch command shows it, one line per line.
std::string FaultText(int number) {
  const std::string text = ComposeErrorMessage(number, "");
  std::string lines;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines += '\n';
    } else {
      lines += text[i];
    }
  }
  while (!lines.empty() && lines.back() == '\n') lines.pop_back();
  return lines;
}

}  // namespace

py::dict FiguresOf(const Evaluation& ev, bool aic_bic, bool extended) {
  const std::vector<FigureGroup> observed_groups = {BasicFigures()};
  std::vector<FigureGroup> model_groups = {BasicFigures(), ErrorFigures(aic_bic)};
  if (extended) model_groups.push_back(ExtendedFigures());
  FileFigures collected;
  CollectFigures(RunOf(ev, extended), observed_groups, model_groups, collected);

  py::dict observed;
  const FigureGroup& basic = observed_groups.front();
  for (std::size_t i = 0; i < basic.figures.size(); ++i) {
    observed[py::str(std::string(basic.figures[i].key))] =
        ValueOf(collected.observed.groups.front()[i]);
  }

  py::dict figures;
  py::dict groups;
  py::list counts;
  const auto models = static_cast<py::ssize_t>(collected.models.size());
  for (std::size_t g = 0; g < model_groups.size(); ++g) {
    py::list keys;
    for (std::size_t i = 0; i < model_groups[g].figures.size(); ++i) {
      const FigureColumn& figure = model_groups[g].figures[i];
      const py::str key(std::string(figure.key));
      py::array_t<double> values(models);
      auto at = values.mutable_unchecked<1>();
      for (py::ssize_t m = 0; m < models; ++m) {
        at(m) = ValueOf(collected.models[static_cast<std::size_t>(m)].groups[g][i]);
      }
      figures[key] = values;
      keys.append(key);
      if (figure.is_count) counts.append(key);
    }
    groups[model_groups[g].key] = keys;
  }

  py::list faults;
  for (std::size_t m = 0; m < ev.models.size(); ++m) {
    for (const int number : {ev.models[m].basic_fault, ev.models[m].error_fault}) {
      if (number != 0) faults.append(py::make_tuple(m, FaultText(number)));
    }
  }

  py::dict out;
  out["rows"] = collected.rows;
  out["missing"] = collected.missing;
  out["out_of_bounds"] = ev.observed_counts.out_of_bounds;
  out["observed"] = observed;
  out["observed_fault"] = ev.observed_fault == 0
                              ? py::object(py::none())
                              : py::object(py::str(FaultText(ev.observed_fault)));
  out["figures"] = figures;
  out["groups"] = groups;
  out["counts"] = counts;
  out["faults"] = faults;
  return out;
}

}  // namespace quelvaris::python
