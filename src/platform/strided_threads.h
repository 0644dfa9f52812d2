#pragma once

#include <cstddef>
#include <functional>
#include <thread>
#include <vector>

namespace quelvaris {

// Calls work(i) for i = 0 .. count - 1 on `workers` threads (the caller's one of them), worker
// t taking t, t + workers, ...: which thread does what never depends on timing, so work that
// writes only to its own i gives the same result for any number of threads. The first
// exception raised by any call is raised again here once every thread has stopped; the other
// threads stop at their next item. A thread the system refuses to start leaves its share to
// the caller's thread, which changes nothing but the time taken.
void ForEachStrided(std::size_t count, std::size_t workers,
                    const std::function<void(std::size_t)>& work);

// Starts work(t) for t = first .. count - 1, each on a thread of its own kept in `threads`
// (joined when they are destroyed). A thread the system refuses (out of threads or memory) is
// left out: the t it would have run are returned, in order, for the caller to run itself or to
// leave to the threads that did start.
std::vector<std::size_t> StartThreads(std::size_t first, std::size_t count,
                                      const std::function<void(std::size_t)>& work,
                                      std::vector<std::jthread>& threads);

}  // namespace quelvaris
