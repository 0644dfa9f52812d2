#include "engine/timed_evaluation.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/strided_threads.h"

namespace quelvaris {

namespace {

// The series of one span: views into the columns for a single run of rows, gathered copies
// for a pooled group.
class SpanSeries {
 public:
  SpanSeries(std::span<const double> observed, const std::vector<std::span<const double>>& all,
             const Period& period) {
    if (period.runs.size() == 1) {
      const RowRange r = period.runs.front();
      observed_ = observed.subspan(r.first, r.count);
      for (const auto& s : all) series_.push_back(s.subspan(r.first, r.count));
      return;
    }
    gathered_.resize(all.size() + 1);
    gathered_[0] = Gather(observed, period);
    for (std::size_t i = 0; i < all.size(); ++i) gathered_[i + 1] = Gather(all[i], period);
    observed_ = gathered_[0];
    for (std::size_t i = 0; i < all.size(); ++i) series_.push_back(gathered_[i + 1]);
  }

  std::span<const double> observed() const { return observed_; }
  const std::vector<std::span<const double>>& series() const { return series_; }

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
};

ScoredSpan Score(std::span<const double> observed, const std::vector<std::span<const double>>& all,
                 std::size_t models, Period period, const EvaluationOptions& options) {
  ScoredSpan scored;
  {
    const SpanSeries series(observed, all, period);
    scored.evaluation = Evaluate(series.observed(), series.series(), options);
  }
  scored.period = std::move(period);
  const std::vector<ModelEvaluation>& ev = scored.evaluation.models;
  if (ev.size() == all.size()) {
    scored.skill.resize(models);
    for (std::size_t m = 0; m < models; ++m) {
      for (std::size_t b = models; b < all.size(); ++b) {
        scored.skill[m].push_back(SkillOf(ev[m], ev[b]));
      }
    }
  }
  return scored;
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
  if (sink != nullptr) {
    sink->Begin(periods.size(), stamps);
  } else {
    timed.periods.resize(periods.size());
  }
  // Each span is scored on its own, so the spans (the whole one first, the largest) can go to
  // several threads; each lands in its own place, and the result is the same however many
  // there are.
  std::atomic<std::size_t> next{0};
  std::exception_ptr failure;
  std::mutex failure_lock;
  const auto work = [&] {
    try {
      for (std::size_t task; (task = next.fetch_add(1)) <= periods.size();) {
        Period& period = task == 0 ? whole : periods[task - 1];
        if (task > 0 && sink != nullptr) {
          sink->Take(task - 1, Score(observed, all, models.size(), std::move(period), evaluation));
          continue;
        }
        ScoredSpan& into = task == 0 ? timed.whole : timed.periods[task - 1];
        into = Score(observed, all, models.size(), std::move(period), evaluation);
      }
    } catch (...) {
      const std::lock_guard<std::mutex> lock(failure_lock);
      if (!failure) failure = std::current_exception();
      next = periods.size() + 1;
    }
  };
  const std::size_t threads = std::min<std::size_t>(
      static_cast<std::size_t>(std::max(options.threads, 1)), periods.size() / 8 + 1);
  {
    std::vector<std::jthread> helpers;  // joined at the end of this block
    // A thread the system refuses leaves its spans to the others.
    StartThreads(
        1, threads, [&](std::size_t) { work(); }, helpers);
    work();
  }
  if (failure) std::rethrow_exception(failure);
  return timed;
}

}  // namespace quelvaris
