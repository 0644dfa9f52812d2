#include "engine/bootstrap_blocks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace quelvaris {

std::int64_t DefaultBlockLength(std::int64_t rows) {
  if (rows < 1) return 1;
  const auto length = static_cast<std::int64_t>(std::llround(std::cbrt(static_cast<double>(rows))));
  return length < 1 ? 1 : length;
}

BlockPlan MovingBlocks(std::int64_t rows, std::int64_t length) {
  BlockPlan plan;
  plan.rows = rows;
  plan.block_length = length;
  if (rows < 1 || length < 1 || length > rows) return plan;
  const std::int64_t count = rows - length + 1;
  plan.candidates.reserve(static_cast<std::size_t>(count));
  plan.group.reserve(static_cast<std::size_t>(count));
  for (std::int64_t s = 0; s < count; ++s) {
    plan.candidates.push_back({s, length});
    plan.group.push_back(static_cast<int>(s / length));
  }
  plan.groups = static_cast<int>((count + length - 1) / length);
  plan.draws = static_cast<int>((rows + length - 1) / length);
  return plan;
}

BlockPlan WholeBlocks(std::int64_t rows, const std::vector<std::int64_t>& starts) {
  BlockPlan plan;
  plan.rows = rows;
  for (std::size_t i = 0; i < starts.size(); ++i) {
    const std::int64_t end = i + 1 < starts.size() ? starts[i + 1] : rows;
    const bool fits = starts[i] >= 0 && end > starts[i] && end <= rows && (i > 0 || starts[i] == 0);
    if (!fits) return BlockPlan{rows, 0, {}, {}, 0, 0};  // not a tiling of the record
    plan.candidates.push_back({starts[i], end - starts[i]});
    plan.group.push_back(static_cast<int>(i));
  }
  plan.groups = static_cast<int>(starts.size());
  plan.draws = static_cast<int>(starts.size());
  return plan;
}

namespace {

// The words std::seed_seq's generate gives from four seed words, its algorithm step by step
// with the count of words std::mt19937_64 asks for fixed, so that the places wrap by comparison
// instead of division. Any other count is left to std::seed_seq.
class SeedWords {
 public:
  using result_type = std::uint32_t;
  explicit SeedWords(const std::array<std::uint32_t, 4>& words) : v_(words) {}

  template <typename It>
  void generate(It begin, It end) const {
    constexpr std::size_t n = 624;  // 312 words of 64 bits
    if (static_cast<std::size_t>(end - begin) != n) {
      std::seed_seq(v_.begin(), v_.end()).generate(begin, end);
      return;
    }
    constexpr std::size_t s = 4, t = 11, p = (n - t) / 2, q = p + t;
    const auto wrap = [](std::size_t i) { return i < n ? i : i - n; };
    std::array<std::uint32_t, n> b;
    b.fill(0x8b8b8b8bu);
    for (std::size_t k = 0; k < n; ++k) {  // m = max(s + 1, n) = n
      const std::size_t kp = wrap(k + p), kq = wrap(k + q), before = k == 0 ? n - 1 : k - 1;
      const std::uint32_t arg = b[k] ^ b[kp] ^ b[before];
      const std::uint32_t r1 = 1664525u * (arg ^ (arg >> 27));
      const std::uint32_t r2 = r1 + (k == 0   ? static_cast<std::uint32_t>(s)
                                     : k <= s ? static_cast<std::uint32_t>(k) + v_[k - 1]
                                              : static_cast<std::uint32_t>(k));
      b[kp] += r1;
      b[kq] += r2;
      b[k] = r2;
    }
    for (std::size_t k = 0; k < n; ++k) {  // k + n in the standard's count
      const std::size_t kp = wrap(k + p), kq = wrap(k + q), before = k == 0 ? n - 1 : k - 1;
      const std::uint32_t arg = b[k] + b[kp] + b[before];
      const std::uint32_t r3 = 1566083941u * (arg ^ (arg >> 27));
      const std::uint32_t r4 = r3 - static_cast<std::uint32_t>(k);
      b[kp] ^= r3;
      b[kq] ^= r4;
      b[k] = r4;
    }
    std::copy(b.begin(), b.end(), begin);
  }

 private:
  std::array<std::uint32_t, 4> v_;
};

}  // namespace

std::mt19937_64 ResampleGenerator(std::uint64_t seed, std::uint64_t resample) {
  constexpr std::uint64_t kLow = 0xffffffffu;
  SeedWords words({static_cast<std::uint32_t>(seed & kLow), static_cast<std::uint32_t>(seed >> 32),
                   static_cast<std::uint32_t>(resample & kLow),
                   static_cast<std::uint32_t>(resample >> 32)});
  return std::mt19937_64(words);
}

std::uint64_t UniformBelow(std::mt19937_64& gen, std::uint64_t bound) {
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  // The largest multiple of bound that a draw (0 .. kMax) can reach, less one.
  const std::uint64_t limit = kMax - (kMax % bound + 1) % bound;
  for (;;) {
    const std::uint64_t x = gen();
    if (x <= limit) return x % bound;
  }
}

void DrawBlocks(const BlockPlan& plan, std::mt19937_64& gen, std::vector<int>& chosen) {
  chosen.clear();
  const auto count = static_cast<std::uint64_t>(plan.candidates.size());
  if (count == 0) return;
  for (int d = 0; d < plan.draws; ++d) chosen.push_back(static_cast<int>(UniformBelow(gen, count)));
}

}  // namespace quelvaris
