#include "engine/evaluation.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "platform/run_time_error.h"
#include "platform/strided_threads.h"

namespace quelvaris {

namespace {

constexpr std::int64_t kMinUsable = 4;

}  // namespace

ModelEvaluation EvaluateModel(std::span<const double> observed, std::span<const double> modelled,
                              const SeriesStats& observed_stats, const EvaluationOptions& options,
                              ErrorScratch& scratch, std::span<const double> observed_logs) {
  ModelEvaluation m;
  EvaluateModelInto(observed, modelled, observed_stats, options, scratch, observed_logs, m);
  return m;
}

void EvaluateModelInto(std::span<const double> observed, std::span<const double> modelled,
                       const SeriesStats& observed_stats, const EvaluationOptions& options,
                       ErrorScratch& scratch, std::span<const double> observed_logs,
                       ModelEvaluation& m, std::span<const double> modelled_logs) {
  m = ModelEvaluation{};
  m.record.undefined = kAllBasicFigures;
  try {
    if (SeriesFiguresOf(modelled, options.rule, kModelledMinStart, m.stats, m.counts)) {
      m.record = RecordOf(m.stats);
    }
  } catch (const std::exception& e) {
    m.basic_fault = ErrorNumberOf(e);
  }
  try {
    m.errors = ErrorFiguresOf(observed, modelled, options.rule,
                              {observed_stats, m.record, options.parameters, options.points,
                               observed_logs, modelled_logs},
                              m.pair_counts, scratch);
  } catch (const std::exception& e) {
    m.error_fault = ErrorNumberOf(e);
  }
}

namespace {

// The observed series' figures into `ev`; false when the evaluation stops there.
bool ObservedFigures(std::span<const double> observed, const EvaluationOptions& options,
                     Evaluation& ev) {
  ev.rows = static_cast<std::int64_t>(observed.size());
  std::int64_t missing = 0;
  for (const double v : observed) missing += options.rule.Missing(v);
  if (ev.rows - missing < kMinUsable) {
    ev.observed_counts.missing = missing;
    ev.stop = EvaluationStop::TooFewObserved;
    return false;
  }
  try {
    SeriesFiguresOf(observed, options.rule, kObservedMinStart, ev.observed, ev.observed_counts);
  } catch (const std::exception& e) {
    ev.observed_fault = ErrorNumberOf(e);
  }
  if (ev.rows - ev.observed_counts.out_of_bounds - ev.observed_counts.missing < kMinUsable) {
    ev.stop = EvaluationStop::TooFewInBounds;
    return false;
  }
  return true;
}

// The figures of models first, first + step, ... into ev.models (sized for every model).
// `model_logs`: one per model, or empty.
void ModelFigures(std::span<const double> observed,
                  const std::vector<std::span<const double>>& models, std::size_t first,
                  std::size_t step, const EvaluationOptions& options, ErrorScratch& scratch,
                  std::span<const double> observed_logs,
                  const std::vector<std::span<const double>>& model_logs, Evaluation& ev) {
  for (std::size_t m = first; m < models.size(); m += step) {
    const std::span<const double> logs =
        m < model_logs.size() ? model_logs[m] : std::span<const double>{};
    EvaluateModelInto(observed, models[m], ev.observed, options, scratch, observed_logs,
                      ev.models[m], logs);
  }
  if (!options.extended) return;
  std::vector<std::span<const double>> mine;
  for (std::size_t m = first; m < models.size(); m += step) mine.push_back(models[m]);
  const std::vector<ExtendedStats> extended = ExtendedStatsOfModels(observed, mine, options.rule);
  for (std::size_t k = 0; k < extended.size(); ++k) {
    ev.models[first + k * step].extended = extended[k];
  }
}

}  // namespace

void LogsOf(std::span<const double> values, std::vector<double>& logs) {
  logs.clear();
  MoreLogsOf(values, logs);
}

void MoreLogsOf(std::span<const double> values, std::vector<double>& logs) {
  const std::size_t from = std::min(logs.size(), values.size());
  logs.resize(values.size());
  for (std::size_t i = from; i < values.size(); ++i) {
    logs[i] = values[i] > 0 ? std::log(values[i]) : 0;
  }
}

Evaluation Evaluate(std::span<const double> observed,
                    const std::vector<std::span<const double>>& models,
                    const EvaluationOptions& options, int threads) {
  return Evaluate(observed, models, options, threads, {}, {});
}

Evaluation Evaluate(std::span<const double> observed,
                    const std::vector<std::span<const double>>& models,
                    const EvaluationOptions& options, int threads,
                    std::span<const double> observed_logs,
                    const std::vector<std::span<const double>>& model_logs) {
  Evaluation ev;
  if (!ObservedFigures(observed, options, ev) || models.empty()) return ev;
  // The logarithms of the observed values, once for every model (the error statistics need
  // them where both values are positive).
  std::vector<double> own_logs;
  std::span<const double> logs = observed_logs;
  if (logs.empty() && models.size() > 1) {
    LogsOf(observed, own_logs);
    logs = own_logs;
  }
  ev.models.resize(models.size());
  const std::size_t workers =
      std::clamp<std::size_t>(static_cast<std::size_t>(std::max(threads, 1)), 1, models.size());
  // Each worker takes every workers-th model, so a model's figures never depend on the number
  // of workers.
  const auto work = [&](std::size_t first) {
    ErrorScratch scratch;
    ModelFigures(observed, models, first, workers, options, scratch, logs, model_logs, ev);
  };
  ForEachStrided(workers, workers, work);
  return ev;
}

void EvaluateInto(std::span<const double> observed,
                  const std::vector<std::span<const double>>& models,
                  const EvaluationOptions& options, EvaluationRoom& room, Evaluation& ev) {
  // The models' entries are kept as they are: each is written afresh from the start, and
  // clearing them first as well cost as much again (about a kilobyte a model) for every span.
  std::vector<ModelEvaluation> kept = std::move(ev.models);
  ev = Evaluation{};
  if (!ObservedFigures(observed, options, ev) || models.empty()) {
    kept.clear();
    ev.models = std::move(kept);
    return;
  }
  std::span<const double> logs = room.observed_logs;
  if (logs.empty() && models.size() > 1) {
    LogsOf(observed, room.own_logs);
    logs = room.own_logs;
  }
  kept.resize(models.size());
  ev.models = std::move(kept);
  ModelFigures(observed, models, 0, 1, options, room.scratch, logs, room.model_logs, ev);
}

}  // namespace quelvaris
