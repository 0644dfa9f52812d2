#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/error_figures.h"
#include "engine/error_stats.h"
#include "engine/extended_stats.h"
#include "engine/series_figures.h"
#include "engine/series_stats.h"

namespace quelvaris {

// What an evaluation of models against observations needs besides the series.
struct EvaluationOptions {
  SeriesRule rule;     // missing-data code, bounds, threshold
  int parameters = 0;  // AIC/BIC inputs (p, m); either 0 leaves the criteria undefined
  int points = 0;
  bool extended = false;  // also the extended figures
};

// Where an evaluation stopped before the models: the observed series has fewer than 4 values
// that are not missing, or fewer than 4 once the values out of bounds are left out too.
enum class EvaluationStop { None, TooFewObserved, TooFewInBounds };

// Every figure of one model. A fault (a run-time error number) in one of its computations
// leaves that computation's figures undefined; the others stand.
struct ModelEvaluation {
  SeriesStats stats;      // the model's basic statistics as computed
  ModelledRecord record;  // the record the error statistics and reports use: the complete
                          // figures, else a zeroed record with every figure undefined
  SeriesCounts counts;    // of the model's own series
  ErrorStats errors;      // every figure undefined until computed
  SeriesCounts pair_counts;
  ExtendedStats extended{};  // when asked for
  int basic_fault = 0;       // the run-time error number of the basic statistics, 0: none
  int error_fault = 0;       // of the error statistics
};

struct Evaluation {
  std::int64_t rows = 0;  // of the observed series
  SeriesStats observed;
  SeriesCounts observed_counts;
  int observed_fault = 0;
  EvaluationStop stop = EvaluationStop::None;
  std::vector<ModelEvaluation> models;  // empty when the evaluation stopped
};

// The figures of each model against the observed series, row by row: the computation behind
// the batch commands and the Python module (the desktop program's table routines call the
// same figure code). Never raises for data; a fault is recorded where it arose. The models are
// spread over up to `threads` threads; the figures are the same for any number.
Evaluation Evaluate(std::span<const double> observed,
                    const std::vector<std::span<const double>>& models,
                    const EvaluationOptions& options, int threads = 1);
// The same with the logarithms of the columns at hand, as EvaluationRoom holds them.
Evaluation Evaluate(std::span<const double> observed,
                    const std::vector<std::span<const double>>& models,
                    const EvaluationOptions& options, int threads,
                    std::span<const double> observed_logs,
                    const std::vector<std::span<const double>>& model_logs);

// What a caller that scores many spans of the same columns on one thread keeps from one span
// to the next: the logarithms of the values above 0 (0 elsewhere), row for row with the
// spans it gives, and room for the figures. The figures are those of Evaluate.
struct EvaluationRoom {
  std::span<const double> observed_logs;            // empty: worked out for each span
  std::vector<std::span<const double>> model_logs;  // one per model, or empty
  ErrorScratch scratch;
  std::vector<double> own_logs;
};
// The figures of Evaluate into `ev`, whose list of models keeps its room: a caller scoring
// hundreds of spans one after the other fills the same memory each time.
void EvaluateInto(std::span<const double> observed,
                  const std::vector<std::span<const double>>& models,
                  const EvaluationOptions& options, EvaluationRoom& room, Evaluation& ev);

// ln x of each value above 0, 0 elsewhere: the logarithms EvaluationRoom takes.
void LogsOf(std::span<const double> values, std::vector<double>& logs);
// The same for a column whose first logarithms (as many as `logs` holds, up to its length) are
// taken already: only those of the values after them are added.
void MoreLogsOf(std::span<const double> values, std::vector<double>& logs);

// The same steps for one model whose observed figures are already known (ev.observed), so
// that callers can spread the models of one evaluation over threads.
// `observed_logs`: ln O of each observed value above 0, or empty (see ErrorInputs).
ModelEvaluation EvaluateModel(std::span<const double> observed, std::span<const double> modelled,
                              const SeriesStats& observed_stats, const EvaluationOptions& options,
                              ErrorScratch& scratch, std::span<const double> observed_logs = {});
// The same into `m` (whatever it held), which spares a copy of the figures of every model of
// a short span.
// `modelled_logs`: ln P likewise, or empty.
void EvaluateModelInto(std::span<const double> observed, std::span<const double> modelled,
                       const SeriesStats& observed_stats, const EvaluationOptions& options,
                       ErrorScratch& scratch, std::span<const double> observed_logs,
                       ModelEvaluation& m, std::span<const double> modelled_logs = {});

}  // namespace quelvaris
