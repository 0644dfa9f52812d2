#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "engine/evaluation.h"
#include "engine/skill_scores.h"
#include "engine/time_periods.h"
#include "engine/time_stamp.h"
#include "engine/time_window.h"

namespace quelvaris {

// The figures of one span of rows: the whole evaluation period, or one period of it. The
// evaluation's models are the models, then the benchmarks; `skill[m][b]` is model m's skill
// over benchmark b (empty when the evaluation stopped before the models).
struct ScoredSpan {
  Period period;  // label empty for the whole evaluation period
  Evaluation evaluation;
  std::vector<std::vector<SkillScores>> skill;
};

// Takes each period's figures as soon as they are scored, in place of the evaluation's list of
// periods: a grouping by month holds hundreds of periods of every model, whose figures are
// then turned into what the caller keeps while they are fresh, each period's memory going to
// the next one.
class PeriodSink {
 public:
  // On the calling thread, before the periods not yet taken: how many periods there are, and
  // the stamps of the rows they were cut from.
  virtual void Begin(std::size_t periods, std::span<const TimeStamp> stamps) = 0;
  // Once for each period (index in time order), on whichever thread scored it. The first
  // periods may come before Begin, scored while the file was read (see PeriodsAhead): in
  // turn from index 0, on one thread; a period taken twice keeps the second figures.
  virtual void Take(std::size_t index, const ScoredSpan& period) = 0;

 protected:
  ~PeriodSink() = default;
};

// What a time-aware evaluation needs besides the series.
struct TimedOptions {
  EvaluationOptions evaluation;
  TimeWindow window;                 // the evaluation period
  std::optional<PeriodGrouping> by;  // also each period of this grouping
  int threads = 1;                   // the spans are spread over this many threads
  PeriodSink* sink = nullptr;        // set: the periods go here, not into `periods`
  // With a sink: the first periods as they were scored and taken before the evaluation (while
  // the file was read). Those that are the evaluation's own first periods are not scored again.
  std::span<const Period> taken;
  // Set: the logarithms (as LogsOf takes them) of the first rows of the observed column and of
  // each model, worked out before the evaluation (while the file was read); the evaluation adds
  // those of the other rows in place when it scores periods.
  std::vector<std::vector<double>>* logs = nullptr;
};

struct TimedEvaluation {
  RowRange window;  // the rows of the evaluation period
  ScoredSpan whole;
  std::vector<ScoredSpan> periods;  // empty when they went to a sink
};

// Every model (and benchmark) over the evaluation period and over each of its periods, each
// through Evaluate on that span's rows (a pooled group's rows gathered in time order). The
// series are whole columns of the file, row for row with `stamps`. Skill needs the extended
// figures, so benchmarks turn them on whatever the options say.
TimedEvaluation EvaluateOverTime(std::span<const double> observed,
                                 const std::vector<std::span<const double>>& models,
                                 const std::vector<std::span<const double>>& benchmarks,
                                 std::span<const TimeStamp> stamps, const TimedOptions& options);

// The figures of one period of the columns (no benchmarks), as EvaluateOverTime scores it, into
// `into`, whose lists keep their room from one period to the next.
// `logs`: the logarithms of the columns (observed first) over the period's rows, or null.
void ScorePeriod(std::span<const double> observed,
                 const std::vector<std::span<const double>>& models, Period period,
                 const EvaluationOptions& options, EvaluationRoom& room, ScoredSpan& into,
                 const std::vector<std::vector<double>>* logs = nullptr);

}  // namespace quelvaris
