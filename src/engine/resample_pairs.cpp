#include "engine/resample_pairs.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "platform/log_array.h"

namespace quelvaris {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Copies values[i] and ranks[i] / 2 of the rows of every span that `pairs` keeps to `to` and
// `rank`, end to end; both have room for one more. A span whose rows all pair (every span of a
// model without gaps) is copied as a block, in vector instructions.
void CopyPairs(std::span<const std::pair<int, int>> spans, const unsigned char* pairs,
               const std::vector<double>& values, const std::vector<std::uint32_t>& ranks,
               std::vector<double>& to, std::vector<double>& rank) {
  const double* const v = values.data();
  const std::uint32_t* const r = ranks.data();
  double* const to_v = to.data();
  double* const to_r = rank.data();
  std::size_t out = 0;
  for (const auto& [first, end] : spans) {
    const auto from = static_cast<std::size_t>(first);
    const auto length = static_cast<std::size_t>(end - first);
    unsigned kept = 0;
    for (std::size_t i = 0; i < length; ++i) kept += pairs[from + i];
    if (kept == length) {
      for (std::size_t i = 0; i < length; ++i) {
        to_v[out + i] = v[from + i];
        to_r[out + i] = static_cast<double>(static_cast<std::int32_t>(r[from + i])) / 2;
      }
      out += length;
      continue;
    }
    for (std::size_t i = from; i < from + length; ++i) {
      to_v[out] = v[i];
      to_r[out] = static_cast<double>(r[i]) / 2;
      out += pairs[i];
    }
  }
}

}  // namespace

RecordPairs::Order RecordPairs::OrderOf(const std::vector<double>& values,
                                        const std::vector<int>& rows, ValueSorter& sorter) {
  std::vector<PlacedValue> sorted;
  sorter.Sort(values, sorted);
  Order order;
  const std::size_t n = sorted.size();
  order.row.resize(n);
  order.value.resize(n);
  order.log.resize(n);
  for (std::size_t k = 0; k < n; ++k) {
    const bool tie = k + 1 < n && sorted[k + 1].value == sorted[k].value;
    const int row = rows[static_cast<std::size_t>(sorted[k].at)];
    order.row[k] = tie ? ~row : row;
    order.value[k] = sorted[k].value;
    const bool tied_before = k > 0 && sorted[k - 1].value == sorted[k].value;
    if (tie && !tied_before) order.ties.emplace_back(static_cast<int>(k), 0);
    if (!tie && tied_before) order.ties.back().second = static_cast<int>(k);
  }
  LogOfEach(order.value, 0, order.log);
  return order;
}

RecordPairs::RecordPairs(std::span<const double> observed,
                         const std::vector<std::span<const double>>& models, const PairRule& rule)
    : rows_(static_cast<std::int64_t>(observed.size())) {
  ValueSorter sorter;
  const std::size_t rows = observed.size();
  before_.assign(rows + 1, 0);
  std::vector<int> record_row;  // of each usable row
  for (std::size_t i = 0; i < rows; ++i) {
    const bool usable = rule.Usable(observed[i]);
    before_[i + 1] = before_[i] + (usable ? 1 : 0);
    if (!usable) continue;
    o_.push_back(observed[i]);
    record_row.push_back(static_cast<int>(i));
  }
  const std::size_t usable = o_.size();
  std::vector<int> all(usable);
  for (std::size_t i = 0; i < usable; ++i) all[i] = static_cast<int>(i);
  o_order_ = OrderOf(o_, all, sorter);
  models_.resize(models.size());
  std::vector<double> values;
  std::vector<int> at;
  for (std::size_t m = 0; m < models.size(); ++m) {
    const std::span<const double> p = models[m];
    Model& model = models_[m];
    model.pairs.assign(usable, 0);
    model.p.assign(usable, 0);
    values.clear();
    at.clear();
    for (std::size_t i = 0; i < usable; ++i) {
      const auto row = static_cast<std::size_t>(record_row[i]);
      if (row >= p.size() || !rule.Usable(p[row])) continue;
      model.pairs[i] = 1;
      model.p[i] = p[row];
      values.push_back(p[row]);
      at.push_back(static_cast<int>(i));
    }
    model.all = values.size() == usable;
    model.p_order = OrderOf(values, at, sorter);
  }
}

void RecordPairs::Begin(std::span<const RowRun> runs, Room& room) const {
  room.spans.clear();
  room.held.assign(o_.size(), 0);
  room.count = 0;
  for (const RowRun& run : runs) {
    const std::int64_t end = std::min(run.start + run.length, rows_);
    if (run.start >= end) continue;
    const int first = before_[static_cast<std::size_t>(run.start)];
    const int last = before_[static_cast<std::size_t>(end)];
    room.spans.emplace_back(first, last);
    for (int i = first; i < last; ++i) ++room.held[static_cast<std::size_t>(i)];
    room.count += static_cast<std::size_t>(last - first);
  }
  SumRuns(room);
  room.observed_of = -1;
}

void RecordPairs::SumRuns(Room& room) const {
  // Each sum is one running total in the resample's order, as PairRows adds them, so each
  // takes an addition's latency for every value: the eight of four models are added side by
  // side. A row a model does not pair adds +0, which leaves a sum as it is (a sum from +0 is
  // never -0).
  constexpr std::size_t kModels = 4;
  const std::size_t models = models_.size();
  room.sums.assign(2 * models, 0);
  const double* const o = o_.data();
  for (std::size_t m = 0; m < models; m += kModels) {
    std::array<const unsigned char*, kModels> pairs{};
    std::array<const double*, kModels> p{};
    for (std::size_t w = 0; w < kModels; ++w) {
      const Model& of = models_[std::min(m + w, models - 1)];
      pairs[w] = of.pairs.data();
      p[w] = of.p.data();
    }
    // Named totals, so that they stay in registers.
    double o0 = 0, o1 = 0, o2 = 0, o3 = 0, p0 = 0, p1 = 0, p2 = 0, p3 = 0;
    for (const auto& [first, end] : room.spans) {
      for (auto i = static_cast<std::size_t>(first); i < static_cast<std::size_t>(end); ++i) {
        const double v = o[i];
        o0 += pairs[0][i] != 0 ? v : 0.0;
        o1 += pairs[1][i] != 0 ? v : 0.0;
        o2 += pairs[2][i] != 0 ? v : 0.0;
        o3 += pairs[3][i] != 0 ? v : 0.0;
        p0 += p[0][i];
        p1 += p[1][i];
        p2 += p[2][i];
        p3 += p[3][i];
      }
    }
    const std::array<double, 2 * kModels> t = {o0, p0, o1, p1, o2, p2, o3, p3};
    for (std::size_t w = 0; w < kModels && m + w < models; ++w) {
      room.sums[2 * (m + w)] = t[2 * w];
      room.sums[2 * (m + w) + 1] = t[2 * w + 1];
    }
  }
}

namespace {

// Values written `kAhead` at a time, in pairs.
using Two = double __attribute__((vector_size(16)));
constexpr std::uint32_t kAhead = 4;

// Writes v at to[0 .. kAhead) and on to to[held - 1] (`to` has room for kAhead).
inline void WriteHeld(double* to, double v, std::uint32_t held) {
  const Two two = {v, v};
  std::memcpy(to, &two, sizeof two);
  std::memcpy(to + 2, &two, sizeof two);
  for (std::uint32_t c = kAhead; c < held; ++c) to[c] = v;  // seldom
}

}  // namespace

void RecordPairs::Walk(const Order& order, const std::vector<std::uint32_t>& held,
                       std::vector<double>& sorted, std::vector<double>& log, std::size_t logged,
                       std::vector<std::uint32_t>& rank) {
  const std::size_t n = order.value.size();
  // Each value is written kAhead times whatever the resample holds, the next value written
  // over the copies it does not hold: most rows are held 0 to kAhead times, and a branch on
  // that count would go wrong a third of the time. So the lists get room for kAhead more.
  const std::size_t size = sorted.size();
  sorted.resize(size + kAhead);
  log.resize(size + kAhead);
  double* const to_value = sorted.data();
  double* const to_log = log.data();
  // Every list through a pointer of its own: the writes (by memcpy) could otherwise be taken
  // to change where the vectors keep their data.
  const int* const rows = order.row.data();
  const double* const values = order.value.data();
  const double* const logs = order.log.data();
  const std::uint32_t* const times_of = held.data();
  std::uint32_t* const rank_at = rank.data();
  std::size_t out = 0;
  // Every value first as if it had no equal one: twice its rank is twice the mean of out + 1
  // .. out + times, as AssignRanks gives a lone value of the resample (a row the resample does
  // not hold gets one too, never read). Values with an equal one are few enough to be put
  // right after, but too many for a branch on them not to go wrong often.
  //
  // The values from k on, with their logarithms (With_log) or without; returns where it
  // stopped: at n, or (With_log) once `logged` values are written.
  const auto walk = [&]<bool With_log>(std::size_t k) {
    for (; k < n && (!With_log || out < logged); ++k) {
      const int row = rows[k] ^ (rows[k] >> 31);  // ~row of a tied value, unflagged
      const std::uint32_t times = times_of[row];
      rank_at[row] = static_cast<std::uint32_t>(2 * out + times + 1);
      WriteHeld(to_value + out, values[k], times);
      if constexpr (With_log) WriteHeld(to_log + out, logs[k], times);
      out += times;
    }
    return k;
  };
  walk.template operator()<false>(walk.template operator()<true>(0));
  // A run of equal values shares twice the mean rank of all its copies: twice where the first
  // one's copies begin (from the rank it was given as if alone), plus their count, plus 1.
  for (const auto& [first, last] : order.ties) {
    const int lead = rows[first] ^ (rows[first] >> 31);
    std::uint32_t shared = rank_at[lead] - times_of[lead];
    for (int k = first; k <= last; ++k) shared += times_of[rows[k] ^ (rows[k] >> 31)];
    for (int k = first; k <= last; ++k) rank_at[rows[k] ^ (rows[k] >> 31)] = shared;
  }
  sorted.resize(size);
  log.resize(size);
}

void RecordPairs::Pairs(std::size_t model, Room& room) const {
  const Model& m = models_[model];
  PairedSeries& s = room.series;
  const std::vector<std::uint32_t>* held = &room.held;
  std::size_t n = room.count;
  if (!m.all) {
    room.model_held.resize(room.held.size());
    n = 0;
    for (std::size_t i = 0; i < room.held.size(); ++i) {
      room.model_held[i] = room.held[i] * m.pairs[i];
      n += room.model_held[i];
    }
    held = &room.model_held;
  }
  s.all_observed = n == room.count;
  // The logarithms of the lowest third and a little more: enough for the low flow segment.
  s.sorted_logs = std::min(n, n / 3 + 2);
  const bool same_observed =
      room.observed_of >= 0 && m.all && models_[static_cast<std::size_t>(room.observed_of)].all;
  if (!same_observed) {
    s.o.resize(n + 1);
    s.o_sorted.resize(n);
    s.o_sorted_log.resize(n);
    s.o_rank.resize(n + 1);
    room.o_rank.resize(o_.size());
    Walk(o_order_, *held, s.o_sorted, s.o_sorted_log, s.sorted_logs, room.o_rank);
    CopyPairs(room.spans, m.pairs.data(), o_, room.o_rank, s.o, s.o_rank);
    s.o.resize(n);
    s.o_rank.resize(n);
    s.o_sum = room.sums[2 * model];
    s.o_min = n == 0 ? kInf : s.o_sorted.front();
    s.o_max = n == 0 ? -kInf : s.o_sorted.back();
    room.observed_of = static_cast<int>(model);
  }
  s.p.resize(n + 1);
  s.p_sorted.resize(n);
  s.p_sorted_log.resize(n);
  s.p_rank.resize(n + 1);
  room.p_rank.resize(o_.size());
  Walk(m.p_order, *held, s.p_sorted, s.p_sorted_log, s.sorted_logs, room.p_rank);
  CopyPairs(room.spans, m.pairs.data(), m.p, room.p_rank, s.p, s.p_rank);
  s.p.resize(n);
  s.p_rank.resize(n);
  s.p_sum = room.sums[2 * model + 1];
  s.p_min = n == 0 ? kInf : s.p_sorted.front();
  s.p_max = n == 0 ? -kInf : s.p_sorted.back();
}

}  // namespace quelvaris
