#pragma once

#include <atomic>
#include <memory>
#include <thread>

#include "engine/bootstrap.h"
#include "ui/extended/extended_run.h"

namespace quelvaris::ui {

// The intervals of a run's extended figures, computed on threads of their own so that the
// window that asked for them goes on answering. The series are copied in: the job does not
// depend on the run it came from. Destroying a job that is still working cancels it and waits
// for its threads.
class IntervalsJob {
 public:
  IntervalsJob(const ExtendedRun& run, const BootstrapOptions& options);
  ~IntervalsJob();
  IntervalsJob(const IntervalsJob&) = delete;
  IntervalsJob& operator=(const IntervalsJob&) = delete;

  void Cancel() { cancel_ = true; }
  int Done() const { return done_; }
  int Total() const { return total_; }
  bool Finished() const { return finished_; }
  // Once Finished(): the intervals (cancelled when Cancel came first).
  const BootstrapResult& Result() const { return result_; }

 private:
  void Start(const ExtendedRun& run, const BootstrapOptions& options);

  std::atomic<bool> cancel_{false};
  std::atomic<int> done_{0};
  std::atomic<bool> finished_{false};
  int total_ = 0;
  BootstrapResult result_;
  std::thread thread_;
};

}  // namespace quelvaris::ui
