#pragma once

#include <cstddef>
#include <functional>

namespace quelvaris::cli {

// Runs work(0) .. work(count - 1) on up to `jobs` threads and hands each index to done() on
// the calling thread in order, as soon as it and every index before it have finished, so that
// what done() writes comes out as it would with one job. When done() returns false no further
// index is started or handed over. work() must not throw.
void RunInOrder(std::size_t count, int jobs, const std::function<void(std::size_t)>& work,
                const std::function<bool(std::size_t)>& done);

}  // namespace quelvaris::cli
