#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

namespace quelvaris {

// The threads lent to one parallel step, waited for when the group is destroyed (or by Wait).
// They come from threads kept waiting once their work is done: a thread started afresh can
// take milliseconds to first run on an idle core (two to three on a virtual machine while the
// caller is busy), a waiting one is woken in microseconds, and a run of many short parallel
// steps would otherwise lose the second core at the start of each. A step never waits for a
// thread to come free: when none is waiting, a new one is started.
class HelperThreads {
 public:
  HelperThreads();
  ~HelperThreads();
  HelperThreads(const HelperThreads&) = delete;
  HelperThreads& operator=(const HelperThreads&) = delete;

  // Runs `work` on a thread of the group; false when the system refuses a thread. `work` must
  // not raise.
  bool Run(std::function<void()> work);
  // Waits for every work run through the group so far.
  void Wait();
  // How many works were run through the group.
  std::size_t size() const { return started_; }
  bool empty() const { return started_ == 0; }

 private:
  struct State;
  std::shared_ptr<State> state_;  // shared with the works, which may end after the group's wait
  std::size_t started_ = 0;
};

// Calls work(i) for i = 0 .. count - 1 on `workers` threads (the caller's one of them), worker
// t taking t, t + workers, ...: which thread does what never depends on timing, so work that
// writes only to its own i gives the same result for any number of threads. The first
// exception raised by any call is raised again here once every thread has stopped; the other
// threads stop at their next item. A thread the system refuses to start leaves its share to
// the caller's thread, which changes nothing but the time taken.
void ForEachStrided(std::size_t count, std::size_t workers,
                    const std::function<void(std::size_t)>& work);

// Runs work(t) for t = first .. count - 1, each on a thread of `threads` (waited for when the
// group is destroyed). A thread the system refuses (out of threads or memory) is left out: the
// t it would have run are returned, in order, for the caller to run itself or to leave to the
// threads that did start. Each thread runs a copy of `work`, which must not raise.
std::vector<std::size_t> StartThreads(std::size_t first, std::size_t count,
                                      const std::function<void(std::size_t)>& work,
                                      HelperThreads& threads);

}  // namespace quelvaris
