#include "figures_output.h"

#include <pybind11/numpy.h>

#include <cstdint>
#include <limits>
#include <string>

#include "reports/machine_figures.h"
#include "reports/report_rows.h"
#include "settings/error_reporter.h"

namespace py = pybind11;

namespace quelvaris::python {

namespace {

constexpr double kUndefined = std::numeric_limits<double>::quiet_NaN();

// The batch command's names of the error statistics, in report order (AIC and BIC last).
const FigureGroup& ErrorKeys() {
  static const FigureGroup group = ErrorFigures(true);
  return group;
}

// One figure of every model: `value(m)` is the figure of model m, or NaN.
template <typename Value>
py::array_t<double> ByModel(const Evaluation& ev, Value value) {
  py::array_t<double> out(static_cast<py::ssize_t>(ev.models.size()));
  auto at = out.mutable_unchecked<1>();
  for (std::size_t m = 0; m < ev.models.size(); ++m) {
    at(static_cast<py::ssize_t>(m)) = value(ev.models[m]);
  }
  return out;
}

// The run-time error message as the batch command shows it, one line per line.
std::string FaultText(int number) {
  std::string text = ComposeErrorMessage(number, "");
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
  py::dict figures;
  py::list counts;
  py::dict observed;
  py::list basic_keys;
  for (const auto& row : report_rows::kBasicStatRows) {
    const bool defined = (ev.observed.undefined & row.figure) == 0;
    observed[row.key] = defined ? row.observed(ev.observed) : kUndefined;
    figures[row.key] = ByModel(ev, [&row](const ModelEvaluation& m) {
      return (m.record.undefined & row.figure) == 0 ? m.record.*row.modelled : kUndefined;
    });
    basic_keys.append(row.key);
    if (row.is_count) counts.append(row.key);
  }

  py::list error_keys;
  const std::size_t error_count = kErrorStatFields.size() - (aic_bic ? 0 : 2);
  for (std::size_t i = 0; i < error_count; ++i) {
    const ErrorStatField& field = kErrorStatFields[i];
    const std::uint32_t bit = std::uint32_t{1} << i;
    const py::str key(std::string(ErrorKeys().figures[i].key));
    figures[key] = ByModel(ev, [&field, bit](const ModelEvaluation& m) {
      return (m.errors.undefined & bit) == 0 ? m.errors.*field.field : kUndefined;
    });
    error_keys.append(key);
    if (field.is_count) counts.append(key);
  }

  py::dict groups;
  groups["basic"] = basic_keys;
  groups["errors"] = error_keys;
  if (extended) {
    py::list extended_keys;
    for (const ExtendedStatDefinition& d : kExtendedStatDefinitions) {
      const py::str key(std::string(d.key));
      const auto at = static_cast<std::size_t>(d.stat);
      figures[key] = ByModel(ev, [at](const ModelEvaluation& m) {
        const ExtendedFigure& f = m.extended[at];
        return f.defined ? f.value : kUndefined;
      });
      extended_keys.append(key);
    }
    groups["extended"] = extended_keys;
  }

  py::list faults;
  for (std::size_t m = 0; m < ev.models.size(); ++m) {
    for (const int number : {ev.models[m].basic_fault, ev.models[m].error_fault}) {
      if (number != 0) faults.append(py::make_tuple(m, FaultText(number)));
    }
  }

  py::dict out;
  out["rows"] = ev.rows;
  out["missing"] = ev.observed_counts.missing;
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
