#include "engine/timed_evaluation.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/strided_threads.h"

namespace quelvaris {

namespace {

// The columns of a run of spans, each with the logarithms of its values above 0 when the
// spans are many (worked out once instead of once a span).
struct Columns {
  std::span<const double> observed;
  const std::vector<std::span<const double>>& all;
  const std::vector<std::vector<double>>* logs;  // observed first, then `all`; null: none
};

// The series of one span, and the logarithms of their values: views into the columns for a
// single run of rows, gathered copies for a pooled group.
class SpanSeries {
 public:
  SpanSeries(const Columns& columns, const Period& period) {
    const std::size_t count = columns.all.size() + 1;
    const auto column = [&](std::size_t k) {
      return k == 0 ? columns.observed : columns.all[k - 1];
    };
    const bool logged = columns.logs != nullptr;
    if (period.runs.size() == 1) {
      const RowRange r = period.runs.front();
      for (std::size_t k = 0; k < count; ++k) {
        series_.push_back(column(k).subspan(r.first, r.count));
        if (logged)
          logs_.push_back(std::span<const double>((*columns.logs)[k]).subspan(r.first, r.count));
      }
    } else {
      gathered_.resize(logged ? 2 * count : count);
      for (std::size_t k = 0; k < count; ++k) {
        gathered_[k] = Gather(column(k), period);
        series_.push_back(gathered_[k]);
        if (!logged) continue;
        gathered_[count + k] = Gather((*columns.logs)[k], period);
        logs_.push_back(gathered_[count + k]);
      }
    }
    observed_ = series_.front();
    series_.erase(series_.begin());
  }

  std::span<const double> observed() const { return observed_; }
  const std::vector<std::span<const double>>& series() const { return series_; }
  // The logarithms of the observed series and of each of `series` into `room` (none when the
  // columns have none).
  void LogsInto(EvaluationRoom& room) const {
    room.observed_logs = logs_.empty() ? std::span<const double>{} : logs_.front();
    room.model_logs.assign(logs_.empty() ? logs_.end() : logs_.begin() + 1, logs_.end());
  }

 private:
  static std::vector<double> Gather(std::span<const double> column, const Period& period) {
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(period.rows));
    for (const RowRange& r : period.runs) {
      const auto run = column.subspan(r.first, r.count);
      values.insert(values.end(), run.begin(), run.end());
    }
    return values;
  }

  std::vector<std::vector<double>> gathered_;
  std::span<const double> observed_;
  std::vector<std::span<const double>> series_;
  std::vector<std::span<const double>> logs_;  // observed first; empty: none
};

// The figures of `period` into `scored`, whose lists keep their room from one span to the next.
// With more than one thread, the columns are spread over them (the whole span, scored first).
void Score(const Columns& columns, std::size_t models, Period period,
           const EvaluationOptions& options, EvaluationRoom& room, ScoredSpan& scored,
           int threads = 1) {
  {
    const SpanSeries series(columns, period);
    series.LogsInto(room);
    if (threads > 1) {
      scored.evaluation = Evaluate(series.observed(), series.series(), options, threads,
                                   room.observed_logs, room.model_logs);
    } else {
      EvaluateInto(series.observed(), series.series(), options, room, scored.evaluation);
    }
  }
  scored.period = std::move(period);
  const std::vector<ModelEvaluation>& ev = scored.evaluation.models;
  if (ev.size() != columns.all.size()) {
    scored.skill.clear();
    return;
  }
  scored.skill.resize(models);
  for (std::size_t m = 0; m < models; ++m) {
    scored.skill[m].clear();
    for (std::size_t b = models; b < columns.all.size(); ++b) {
      scored.skill[m].push_back(SkillOf(ev[m], ev[b]));
    }
  }
}

}  // namespace

TimedEvaluation EvaluateOverTime(std::span<const double> observed,
                                 const std::vector<std::span<const double>>& models,
                                 const std::vector<std::span<const double>>& benchmarks,
                                 std::span<const TimeStamp> stamps, const TimedOptions& options) {
  std::vector<std::span<const double>> all = models;
  all.insert(all.end(), benchmarks.begin(), benchmarks.end());
  EvaluationOptions evaluation = options.evaluation;
  evaluation.extended = evaluation.extended || !benchmarks.empty();

  TimedEvaluation timed;
  timed.window = RowsInWindow(stamps, options.window);
  Period whole;
  whole.runs.push_back(timed.window);
  whole.rows = static_cast<std::int64_t>(timed.window.count);
  if (timed.window.count > 0) {
    whole.start = stamps[timed.window.first];
    whole.end = stamps[timed.window.end() - 1];
  }
  std::vector<Period> periods;
  if (options.by) periods = PeriodsOf(stamps, timed.window, *options.by);
  PeriodSink* const sink = options.sink;
  std::size_t held = 0;  // of the first periods, those the sink holds already
  if (sink != nullptr) {
    while (held < options.taken.size() && held < periods.size() &&
           options.taken[held] == periods[held]) {
      ++held;
    }
    sink->Begin(periods.size(), stamps);
  } else {
    timed.periods.resize(periods.size());
  }
  // Each span is scored on its own, so the periods can go to several threads; each lands in
  // its own place, and the result is the same however many there are. The whole span, the
  // largest, spreads its columns over them first, so that no thread is left with it alone at
  // the end.
  const std::size_t left = periods.size() - held;
  const auto all_threads = static_cast<std::size_t>(std::max(options.threads, 1));
  const std::size_t threads = std::clamp<std::size_t>(left, 1, all_threads);
  // With periods, every row is scored twice (in the whole span and in its period): the
  // logarithms of each column are taken once for both, the columns shared out among the threads
  // (beyond those worked out before).
  std::vector<std::vector<double>> own_logs;
  std::vector<std::vector<double>>& logs = options.logs != nullptr ? *options.logs : own_logs;
  Columns columns{observed, all, nullptr};
  if (!periods.empty()) {
    logs.resize(all.size() + 1);
    ForEachStrided(all.size() + 1, all_threads,
                   [&](std::size_t k) { MoreLogsOf(k == 0 ? observed : all[k - 1], logs[k]); });
    columns.logs = &logs;
  }
  {
    EvaluationRoom room;
    Score(columns, models.size(), std::move(whole), evaluation, room, timed.whole, options.threads);
  }
  // Task k is the k-th period the sink does not hold.
  const std::size_t tasks = left;
  std::atomic<std::size_t> next{0};
  std::exception_ptr failure;
  std::mutex failure_lock;
  const auto work = [&] {
    try {
      EvaluationRoom room;
      ScoredSpan taken;  // a period on its way to the sink
      for (std::size_t task; (task = next.fetch_add(1)) < tasks;) {
        const std::size_t p = held + task;
        const bool to_sink = sink != nullptr;
        ScoredSpan& into = to_sink ? taken : timed.periods[p];
        Score(columns, models.size(), std::move(periods[p]), evaluation, room, into);
        if (to_sink) sink->Take(p, taken);
      }
    } catch (...) {
      const std::lock_guard<std::mutex> lock(failure_lock);
      if (!failure) failure = std::current_exception();
      next = tasks;
    }
  };
  {
    HelperThreads helpers;  // waited for at the end of this block
    // A thread the system refuses leaves its spans to the others.
    StartThreads(
        1, threads, [&](std::size_t) { work(); }, helpers);
    work();
  }
  if (failure) std::rethrow_exception(failure);
  return timed;
}

void ScorePeriod(std::span<const double> observed,
                 const std::vector<std::span<const double>>& models, Period period,
                 const EvaluationOptions& options, EvaluationRoom& room, ScoredSpan& into,
                 const std::vector<std::vector<double>>* logs) {
  const Columns columns{observed, models, logs};
  Score(columns, models.size(), std::move(period), options, room, into);
}

}  // namespace quelvaris
