#include "cli/file_jobs.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/strided_threads.h"

namespace quelvaris::cli {

void RunInOrder(std::size_t count, int jobs, const std::function<void(std::size_t)>& work,
                const std::function<bool(std::size_t)>& done) {
  const std::size_t threads =
      std::min<std::size_t>(static_cast<std::size_t>(std::max(jobs, 1)), count);
  const auto in_turn = [&] {
    for (std::size_t i = 0; i < count; ++i) {
      work(i);
      if (!done(i)) return;
    }
  };
  if (threads <= 1) return in_turn();
  std::mutex mutex;
  std::condition_variable finished_one;
  std::vector<char> finished(count, 0);
  std::size_t next = 0;
  // A worker runs at most `threads` files ahead of the one being written, so that the figures
  // of files not yet written never pile up in memory.
  std::size_t written = 0;
  bool stop = false;  // done() asked for no more
  std::condition_variable room;
  const auto worker = [&] {
    for (;;) {
      std::size_t i;
      {
        std::unique_lock lock(mutex);
        room.wait(lock, [&] { return next >= count || stop || next < written + 2 * threads; });
        if (next >= count || stop) return;
        i = next++;
      }
      work(i);
      {
        std::lock_guard lock(mutex);
        finished[i] = 1;
      }
      finished_one.notify_all();
    }
  };
  // A thread the system refuses leaves the files to the others; without any, this thread scores
  // them in turn.
  HelperThreads pool;  // waited for on leaving
  StartThreads(
      0, threads, [&](std::size_t) { worker(); }, pool);
  if (pool.empty()) return in_turn();
  for (std::size_t i = 0; i < count; ++i) {
    {
      std::unique_lock lock(mutex);
      finished_one.wait(lock, [&] { return finished[i] != 0; });
    }
    const bool go_on = done(i);
    {
      std::lock_guard lock(mutex);
      written = i + 1;
      stop = !go_on;
    }
    room.notify_all();
    if (!go_on) break;
  }
}

}  // namespace quelvaris::cli
