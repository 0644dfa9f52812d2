#include "engine/evaluation.h"

#include <exception>

#include "platform/run_time_error.h"

namespace quelvaris {

namespace {

constexpr std::int64_t kMinUsable = 4;

PairRule PairRuleOf(const SeriesRule& rule) {
  return {rule.missing_code, rule.apply_bounds, rule.lower, rule.upper};
}

}  // namespace

ModelEvaluation EvaluateModel(std::span<const double> observed, std::span<const double> modelled,
                              const SeriesStats& observed_stats, const EvaluationOptions& options,
                              ErrorScratch& scratch) {
  ModelEvaluation m;
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
                              {observed_stats, m.record, options.parameters, options.points},
                              m.pair_counts, scratch);
  } catch (const std::exception& e) {
    m.error_fault = ErrorNumberOf(e);
  }
  return m;
}

Evaluation Evaluate(std::span<const double> observed,
                    const std::vector<std::span<const double>>& models,
                    const EvaluationOptions& options) {
  Evaluation ev;
  ev.rows = static_cast<std::int64_t>(observed.size());
  std::int64_t missing = 0;
  for (const double v : observed) missing += options.rule.Missing(v);
  if (ev.rows - missing < kMinUsable) {
    ev.observed_counts.missing = missing;
    ev.stop = EvaluationStop::TooFewObserved;
    return ev;
  }
  try {
    SeriesFiguresOf(observed, options.rule, kObservedMinStart, ev.observed, ev.observed_counts);
  } catch (const std::exception& e) {
    ev.observed_fault = ErrorNumberOf(e);
  }
  if (ev.rows - ev.observed_counts.out_of_bounds - ev.observed_counts.missing < kMinUsable) {
    ev.stop = EvaluationStop::TooFewInBounds;
    return ev;
  }
  ErrorScratch scratch;
  ev.models.reserve(models.size());
  for (std::span<const double> modelled : models) {
    ev.models.push_back(EvaluateModel(observed, modelled, ev.observed, options, scratch));
  }
  if (options.extended) {
    const std::vector<ExtendedStats> extended =
        ExtendedStatsOfModels(observed, models, PairRuleOf(options.rule));
    for (std::size_t i = 0; i < extended.size(); ++i) ev.models[i].extended = extended[i];
  }
  return ev;
}

}  // namespace quelvaris
