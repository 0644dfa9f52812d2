#pragma once

#include <cstddef>
#include <functional>

namespace quelvaris {

// Calls work(i) for i = 0 .. count - 1 on `workers` threads (the caller's one of them), worker
// t taking t, t + workers, ...: which thread does what never depends on timing, so work that
// writes only to its own i gives the same result for any number of threads. The first
// exception raised by any call is raised again here once every thread has stopped; the other
// threads stop at their next item. A thread the system refuses to start leaves its share to
// the caller's thread, which changes nothing but the time taken.
void ForEachStrided(std::size_t count, std::size_t workers,
                    const std::function<void(std::size_t)>& work);

}  // namespace quelvaris
