#include "figures_output.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

#include "engine/skill_scores.h"
#include "reports/interval_figures.h"
#include "reports/machine_figures.h"
#include "reports/time_figures.h"
#include "settings/error_reporter.h"

namespace py = pybind11;

namespace quelvaris::python {

namespace {

constexpr double kUndefined = std::numeric_limits<double>::quiet_NaN();

// The evaluation as the machine formats collect a run: the observed series and each model.
RunFigures RunOf(const Evaluation& ev, bool extended, const BootstrapResult* bootstrap) {
  RunFigures run;
  run.rows = ev.rows;
  run.missing = ev.observed_counts.missing;
  run.observed = {1, DefaultColumnName(1), {.observed = &ev.observed}};
  run.models.reserve(ev.models.size());
  for (std::size_t m = 0; m < ev.models.size(); ++m) {
    const ModelEvaluation& model = ev.models[m];
    const int column = static_cast<int>(m) + 2;
    const bool resampled = bootstrap != nullptr && m < bootstrap->models.size();
    run.models.push_back({column,
                          DefaultColumnName(column),
                          {.modelled = &model.record,
                           .errors = &model.errors,
                           .extended = extended ? &model.extended : nullptr,
                           .intervals = resampled ? &bootstrap->models[m] : nullptr}});
  }
  return run;
}

double ValueOf(const FigureValue& f) {
  return f.defined ? f.value : kUndefined;
}

double ValueOf(double value, bool defined) {
  return defined ? value : kUndefined;
}

// One value per model, NaN for a model that has none.
template <typename Of>
py::array_t<double> PerModel(std::size_t models, Of of) {
  py::array_t<double> values(static_cast<py::ssize_t>(models));
  auto at = values.mutable_unchecked<1>();
  for (std::size_t m = 0; m < models; ++m) at(static_cast<py::ssize_t>(m)) = of(m);
  return values;
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

// "observed", "figures", "groups", "counts" and, when the rows were resampled, "intervals".
void PutColumns(const std::vector<FigureGroup>& model_groups, const ColumnFigures& observed,
                const std::vector<ColumnFigures>& models, bool jackknife, py::dict& out) {
  py::dict observed_figures;
  const FigureGroup basic = BasicFigures();
  for (std::size_t i = 0; i < basic.figures.size(); ++i) {
    observed_figures[py::str(std::string(basic.figures[i].key))] =
        ValueOf(observed.groups.front()[i]);
  }

  py::dict figures;
  py::dict groups;
  py::list counts;
  py::dict intervals;
  const bool resampled = !models.empty() && !models.front().intervals.empty();
  for (std::size_t g = 0; g < model_groups.size(); ++g) {
    py::list keys;
    for (std::size_t i = 0; i < model_groups[g].figures.size(); ++i) {
      const FigureColumn& figure = model_groups[g].figures[i];
      const py::str key(std::string(figure.key));
      figures[key] =
          PerModel(models.size(), [&](std::size_t m) { return ValueOf(models[m].groups[g][i]); });
      keys.append(key);
      if (figure.is_count) counts.append(key);
      if (!resampled) continue;
      const auto interval = [&](std::size_t m) -> const Interval& {
        return models[m].intervals[g][i];
      };
      py::dict ends;
      ends["low"] = PerModel(models.size(), [&](std::size_t m) {
        return ValueOf(interval(m).low, interval(m).defined);
      });
      ends["high"] = PerModel(models.size(), [&](std::size_t m) {
        return ValueOf(interval(m).high, interval(m).defined);
      });
      ends["se"] = PerModel(models.size(), [&](std::size_t m) {
        return ValueOf(interval(m).se, interval(m).defined);
      });
      ends["defined_share"] =
          PerModel(models.size(), [&](std::size_t m) { return interval(m).defined_share; });
      if (jackknife) {
        ends["jackknife_se_low"] = PerModel(models.size(), [&](std::size_t m) {
          return ValueOf(interval(m).jackknife_se_low, interval(m).jackknife_defined);
        });
        ends["jackknife_se_high"] = PerModel(models.size(), [&](std::size_t m) {
          return ValueOf(interval(m).jackknife_se_high, interval(m).jackknife_defined);
        });
      }
      intervals[key] = ends;
    }
    groups[model_groups[g].key] = keys;
  }
  out["observed"] = observed_figures;
  out["figures"] = figures;
  out["groups"] = groups;
  out["counts"] = counts;
  if (resampled) out["intervals"] = intervals;
}

std::vector<FigureGroup> ModelGroups(bool aic_bic, bool extended) {
  std::vector<FigureGroup> groups = {BasicFigures(), ErrorFigures(aic_bic)};
  if (extended) groups.push_back(ExtendedFigures());
  return groups;
}

void PutFaults(const Evaluation& ev, std::size_t models, py::dict& out) {
  py::list faults;
  for (std::size_t m = 0; m < models && m < ev.models.size(); ++m) {
    for (const int number : {ev.models[m].basic_fault, ev.models[m].error_fault}) {
      if (number != 0) faults.append(py::make_tuple(m, FaultText(number)));
    }
  }
  out["observed_fault"] = ev.observed_fault == 0
                              ? py::object(py::none())
                              : py::object(py::str(FaultText(ev.observed_fault)));
  out["faults"] = faults;
}

// {benchmark: {measure: ndarray over the models, "benchmark": {measure: ndarray}}}
py::dict SkillOf(const std::vector<std::vector<SkillColumn>>& skill,
                 const std::vector<std::string>& benchmarks) {
  py::dict out;
  for (std::size_t b = 0; b < benchmarks.size(); ++b) {
    py::dict scores;
    py::dict own;
    for (std::size_t k = 0; k < kSkillMeasures.size(); ++k) {
      const py::str key(std::string(kSkillMeasures[k].key));
      const auto value = [&](std::size_t m, bool benchmark) {
        if (b >= skill[m].size()) return kUndefined;
        return ValueOf(benchmark ? skill[m][b].benchmark_figure[k] : skill[m][b].skill[k]);
      };
      scores[key] = PerModel(skill.size(), [&](std::size_t m) { return value(m, false); });
      own[key] = PerModel(skill.size(), [&](std::size_t m) { return value(m, true); });
    }
    scores["benchmark"] = own;
    out[py::str(benchmarks[b])] = scores;
  }
  return out;
}

py::dict SpanHead(const SpanFigures& span) {
  py::dict head;
  head["start"] = span.start;
  head["end"] = span.end;
  head["rows"] = span.rows;
  head["missing"] = span.missing;
  return head;
}

// How the rows were resampled, as the json output's "bootstrap" object says it.
void PutBootstrap(const BootstrapResult& bootstrap, py::dict& out) {
  py::dict b;
  b["resamples"] = bootstrap.resamples;
  b["confidence"] = bootstrap.confidence;
  if (bootstrap.block_length > 0) {
    b["block"] = bootstrap.block_length;
  } else {
    b["block"] = "year";
  }
  b["blocks"] = bootstrap.blocks;
  b["seed"] = bootstrap.seed;
  out["bootstrap"] = b;
}

}  // namespace

py::dict FiguresOf(const Evaluation& ev, bool aic_bic, bool extended,
                   const BootstrapResult* bootstrap) {
  const std::vector<FigureGroup> observed_groups = {BasicFigures()};
  const std::vector<FigureGroup> model_groups = ModelGroups(aic_bic, extended);
  FileFigures collected;
  CollectFigures(RunOf(ev, extended, bootstrap), observed_groups, model_groups, collected);

  py::dict out;
  out["rows"] = collected.rows;
  out["missing"] = collected.missing;
  out["out_of_bounds"] = ev.observed_counts.out_of_bounds;
  PutColumns(model_groups, collected.observed, collected.models,
             bootstrap != nullptr && bootstrap->jackknife, out);
  PutFaults(ev, ev.models.size(), out);
  if (bootstrap != nullptr) PutBootstrap(*bootstrap, out);
  return out;
}

py::dict TimedFiguresOf(const TimedFile& file, const std::vector<std::string>& benchmarks,
                        std::size_t models, std::int64_t rows, std::int64_t missing, bool aic_bic,
                        bool extended, const BootstrapResult* bootstrap) {
  const std::vector<FigureGroup> observed_groups = {BasicFigures()};
  // Skill needs the extended figures, so benchmarks compute them; they are listed when asked.
  const std::vector<FigureGroup> model_groups = ModelGroups(aic_bic, extended);
  std::vector<SeriesName> names;
  for (std::size_t m = 0; m < models; ++m) {
    const int column = static_cast<int>(m) + 2;
    names.push_back({column, DefaultColumnName(column)});
  }
  TimeFigures time;
  CollectTimeFigures(file.timed, {1, DefaultColumnName(1)}, names, benchmarks,
                     {.observed_groups = observed_groups,
                      .model_groups = model_groups,
                      .results_text = false,
                      .result_format = {},
                      .aic_bic = aic_bic,
                      .date_only = file.date_only},
                     time);
  // The intervals are those of the evaluation period's figures.
  for (std::size_t m = 0; bootstrap != nullptr && m < time.whole.models.size(); ++m) {
    if (m < bootstrap->models.size()) {
      CollectIntervals(&bootstrap->models[m], model_groups, time.whole.models[m].intervals);
    }
  }

  const Evaluation& ev = file.timed.whole.evaluation;
  py::dict out;
  out["rows"] = rows;
  out["missing"] = missing;
  out["out_of_bounds"] = ev.observed_counts.out_of_bounds;
  PutColumns(model_groups, time.whole.observed, time.whole.models,
             bootstrap != nullptr && bootstrap->jackknife, out);
  PutFaults(ev, models, out);
  if (bootstrap != nullptr) PutBootstrap(*bootstrap, out);
  out["evaluation"] = SpanHead(time.whole);
  out["benchmarks"] = benchmarks;
  out["skill"] = SkillOf(time.whole.skill, benchmarks);
  py::list periods;
  for (const SpanFigures& span : time.periods) {
    py::dict p = SpanHead(span);
    p["period"] = span.period;
    PutColumns(model_groups, span.observed, span.models, false, p);
    p["skill"] = SkillOf(span.skill, benchmarks);
    periods.append(p);
  }
  out["periods"] = periods;
  return out;
}

}  // namespace quelvaris::python
