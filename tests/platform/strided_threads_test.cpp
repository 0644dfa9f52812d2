#include "platform/strided_threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace quelvaris {
namespace {

TEST(StridedThreadsTest, EveryItemOnceForAnyNumberOfWorkersAndTheFirstFailureRaised) {
  for (const std::size_t workers : {1, 2, 3, 8, 40}) {
    std::vector<int> hits(37, 0);
    ForEachStrided(hits.size(), workers, [&](std::size_t i) { ++hits[i]; });
    EXPECT_EQ(hits, std::vector<int>(37, 1)) << workers;
  }
  std::atomic<int> calls{0};
  EXPECT_THROW(ForEachStrided(1000, 4,
                              [&](std::size_t i) {
                                ++calls;
                                if (i == 5) throw std::runtime_error("item 5");
                              }),
               std::runtime_error);
  EXPECT_LT(calls.load(), 1000);  // the others stopped at their next item
}

TEST(StridedThreadsTest, HelpersAreLentAgainAndStepsInsideStepsFinish) {
  // Many short steps one after the other, each inside a step of its own: a step never waits
  // for a helper to come free, so none of them can wait on another.
  std::atomic<int> done{0};
  for (int step = 0; step < 50; ++step) {
    ForEachStrided(4, 4, [&](std::size_t) { ForEachStrided(3, 3, [&](std::size_t) { ++done; }); });
  }
  EXPECT_EQ(done.load(), 50 * 4 * 3);

  HelperThreads idle;
  idle.Wait();  // nothing run: returns at once
  EXPECT_TRUE(idle.empty());
  std::atomic<int> ran{0};
  {
    HelperThreads group;
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(group.Run([&] { ++ran; }));
    EXPECT_EQ(group.size(), 5u);
  }  // waited for here
  EXPECT_EQ(ran.load(), 5);
}

}  // namespace
}  // namespace quelvaris
