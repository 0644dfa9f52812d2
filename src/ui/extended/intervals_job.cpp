#include "ui/extended/intervals_job.h"

#include <exception>
#include <span>
#include <system_error>

namespace quelvaris::ui {

IntervalsJob::IntervalsJob(const ExtendedRun& run, const BootstrapOptions& options)
    : total_(options.resamples) {
  try {
    Start(run, options);
  } catch (const std::system_error&) {
    // The system refuses a thread (out of threads or memory): no intervals, as if cancelled,
    // rather than the window's work on this one.
    result_.cancelled = true;
    finished_ = true;
  }
}

void IntervalsJob::Start(const ExtendedRun& run, const BootstrapOptions& options) {
  thread_ = std::thread(
      [this, observed = run.observed, modelled = run.modelled, rule = run.rule, options] {
        EvaluationOptions evaluation;
        evaluation.rule = rule;
        evaluation.extended = true;
        BootstrapOptions boot = options;
        boot.extended_only = true;
        const std::vector<std::span<const double>> models(modelled.begin(), modelled.end());
        const auto rows = static_cast<std::int64_t>(observed.size());
        BootstrapControl control;
        control.progress = [this](int done, int) { done_ = done; };
        control.cancel = &cancel_;
        try {
          result_ = BootstrapIntervals(observed, models, evaluation,
                                       MovingBlocks(rows, DefaultBlockLength(rows)), boot, control);
        } catch (const std::exception&) {
          // Out of memory: no intervals, as if cancelled.
          result_ = BootstrapResult{};
          result_.cancelled = true;
        }
        finished_ = true;
      });
}

IntervalsJob::~IntervalsJob() {
  cancel_ = true;
  if (thread_.joinable()) thread_.join();
}

}  // namespace quelvaris::ui
