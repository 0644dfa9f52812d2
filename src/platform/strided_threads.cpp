#include "platform/strided_threads.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace quelvaris {

namespace {

// The threads kept waiting for work, for the whole life of the process: never destroyed, so
// that a waiting thread never outlives what it waits on. A child process made by fork has
// none of them (only the forking thread goes on), so it starts afresh with none waiting.
class WaitingThreads {
 public:
  static WaitingThreads& Instance() {
    static const bool made = [] {
      current_ = new WaitingThreads;
      ::pthread_atfork(nullptr, nullptr, [] { current_ = new WaitingThreads; });
      return true;
    }();
    (void)made;
    return *current_;
  }

  // Hands `work` to a waiting thread, or to a new one when none waits. Raises std::system_error
  // when the system refuses a thread.
  void Run(std::function<void()> work) {
    std::unique_lock<std::mutex> hold(lock_);
    if (!waiting_.empty()) {
      Seat* seat = waiting_.back();
      waiting_.pop_back();
      seat->work = std::move(work);
      hold.unlock();
      seat->wake.notify_one();
      return;
    }
    hold.unlock();
    auto seat = std::make_unique<Seat>();
    seat->work = std::move(work);
    std::thread([this, seat = seat.get()] { Serve(seat); }).detach();
    seat.release();  // the thread's own from now on
  }

 private:
  // A thread's place: the work it is given, and where it waits for the next.
  struct Seat {
    std::function<void()> work;
    std::condition_variable wake;
  };

  // More waiting threads than this end once their work is done.
  static constexpr std::size_t kMaxWaiting = 64;

  void Serve(Seat* seat) {
    for (;;) {
      seat->work();
      std::unique_lock<std::mutex> hold(lock_);
      seat->work = nullptr;
      if (waiting_.size() >= kMaxWaiting) break;
      waiting_.push_back(seat);
      seat->wake.wait(hold, [seat] { return seat->work != nullptr; });
    }
    delete seat;
  }

  static WaitingThreads* current_;

  std::mutex lock_;
  std::vector<Seat*> waiting_;
};

WaitingThreads* WaitingThreads::current_ = nullptr;

}  // namespace

struct HelperThreads::State {
  std::mutex lock;
  std::condition_variable finished;
  std::size_t running = 0;
};

HelperThreads::HelperThreads() : state_(std::make_shared<State>()) {}

HelperThreads::~HelperThreads() {
  Wait();
}

bool HelperThreads::Run(std::function<void()> work) {
  {
    const std::lock_guard<std::mutex> hold(state_->lock);
    ++state_->running;
  }
  try {
    WaitingThreads::Instance().Run([state = state_, work = std::move(work)]() noexcept {
      work();
      const std::lock_guard<std::mutex> hold(state->lock);
      if (--state->running == 0) state->finished.notify_all();
    });
  } catch (const std::system_error&) {
    const std::lock_guard<std::mutex> hold(state_->lock);
    --state_->running;
    return false;
  }
  ++started_;
  return true;
}

void HelperThreads::Wait() {
  std::unique_lock<std::mutex> hold(state_->lock);
  state_->finished.wait(hold, [this] { return state_->running == 0; });
}

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
    HelperThreads helpers;  // waited for at the end of this block
    const std::vector<std::size_t> refused = StartThreads(1, workers, run, helpers);
    run(0);
    for (const std::size_t t : refused) run(t);
  }
  if (failure) std::rethrow_exception(failure);
}

std::vector<std::size_t> StartThreads(std::size_t first, std::size_t count,
                                      const std::function<void(std::size_t)>& work,
                                      HelperThreads& threads) {
  std::vector<std::size_t> refused;
  for (std::size_t t = first; t < count; ++t) {
    if (!threads.Run([work, t] { work(t); })) refused.push_back(t);
  }
  return refused;
}

}  // namespace quelvaris
