#include "platform/strided_threads.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace quelvaris {

void ForEachStrided(std::size_t count, std::size_t workers,
                    const std::function<void(std::size_t)>& work) {
  workers = std::clamp<std::size_t>(workers, 1, std::max<std::size_t>(count, 1));
  std::atomic<bool> failed{false};
  std::exception_ptr failure;
  std::mutex failure_lock;
  const auto run = [&](std::size_t first) {
    try {
      for (std::size_t i = first; i < count && !failed; i += workers) work(i);
    } catch (...) {
      const std::lock_guard<std::mutex> lock(failure_lock);
      if (!failure) failure = std::current_exception();
      failed = true;
    }
  };
  {
    std::vector<std::jthread> helpers;  // joined at the end of this block
    const std::vector<std::size_t> refused = StartThreads(1, workers, run, helpers);
    run(0);
    for (const std::size_t t : refused) run(t);
  }
  if (failure) std::rethrow_exception(failure);
}

std::vector<std::size_t> StartThreads(std::size_t first, std::size_t count,
                                      const std::function<void(std::size_t)>& work,
                                      std::vector<std::jthread>& threads) {
  std::vector<std::size_t> refused;
  threads.reserve(threads.size() + (count > first ? count - first : 0));
  for (std::size_t t = first; t < count; ++t) {
    try {
      threads.emplace_back(work, t);
    } catch (const std::system_error&) {
      refused.push_back(t);
    }
  }
  return refused;
}

}  // namespace quelvaris
