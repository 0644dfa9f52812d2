#include "engine/resample_pairs.h"

#include <algorithm>
#include <limits>

#include "platform/log_array.h"

namespace quelvaris {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Copies from[before[start] .. before[end]) of every run to `to`, end to end.
void CopyRuns(std::span<const RowRun> runs, const std::vector<int>& before,
              const std::vector<double>& from, std::vector<double>& to) {
  double* out = to.data();
  for (const RowRun& run : runs) {
    const auto first = static_cast<std::size_t>(before[static_cast<std::size_t>(run.start)]);
    const auto last =
        static_cast<std::size_t>(before[static_cast<std::size_t>(run.start + run.length)]);
    out = std::copy(from.begin() + static_cast<std::ptrdiff_t>(first),
                    from.begin() + static_cast<std::ptrdiff_t>(last), out);
  }
}

// Sums in row order, one running total, as PairRows adds them.
double SumOf(const std::vector<double>& values) {
  double sum = 0;
  for (double v : values) sum += v;
  return sum;
}

}  // namespace

RecordPairs::Order RecordPairs::OrderOf(const std::vector<double>& values,
                                        const std::vector<int>& rows, ValueSorter& sorter) {
  std::vector<PlacedValue> sorted;
  sorter.Sort(values, sorted);
  Order order;
  const std::size_t n = sorted.size();
  order.pair.resize(n);
  order.row.resize(n);
  order.value.resize(n);
  order.log.resize(n);
  order.tie.resize(n);
  for (std::size_t k = 0; k < n; ++k) {
    order.pair[k] = sorted[k].at;
    order.row[k] = rows[static_cast<std::size_t>(sorted[k].at)];
    order.value[k] = sorted[k].value;
    order.tie[k] = k + 1 < n && sorted[k + 1].value == sorted[k].value;
  }
  LogOfEach(order.value, 0, order.log);
  return order;
}

RecordPairs::RecordPairs(std::span<const double> observed,
                         const std::vector<std::span<const double>>& models, const PairRule& rule)
    : rows_(static_cast<std::int64_t>(observed.size())) {
  ValueSorter sorter;
  const std::size_t rows = observed.size();
  // The paired rows of each set, sets_[0] being every usable observed row.
  std::vector<std::vector<int>> set_rows(1);
  std::vector<unsigned char> usable(rows);
  for (std::size_t i = 0; i < rows; ++i) {
    usable[i] = rule.Usable(observed[i]);
    if (usable[i]) set_rows[0].push_back(static_cast<int>(i));
  }
  models_.resize(models.size());
  std::vector<int> paired;
  for (std::size_t m = 0; m < models.size(); ++m) {
    const std::span<const double> p = models[m];
    paired.clear();
    for (std::size_t i = 0; i < std::min(rows, p.size()); ++i) {
      if (usable[i] && rule.Usable(p[i])) paired.push_back(static_cast<int>(i));
    }
    Model& model = models_[m];
    if (paired.size() == set_rows[0].size()) {
      model.set = 0;
    } else {
      model.set = static_cast<int>(set_rows.size());
      set_rows.push_back(paired);
    }
    const std::vector<int>& of_set = set_rows[static_cast<std::size_t>(model.set)];
    model.p.resize(of_set.size());
    for (std::size_t k = 0; k < of_set.size(); ++k) {
      model.p[k] = p[static_cast<std::size_t>(of_set[k])];
    }
    model.p_order = OrderOf(model.p, of_set, sorter);
  }
  sets_.resize(set_rows.size());
  for (std::size_t k = 0; k < sets_.size(); ++k) {
    PairSet& set = sets_[k];
    set.before.assign(rows + 1, 0);
    set.o.resize(set_rows[k].size());
    for (std::size_t i = 0; i < set_rows[k].size(); ++i) {
      const auto row = static_cast<std::size_t>(set_rows[k][i]);
      set.o[i] = observed[row];
      set.before[row + 1] = 1;
    }
    for (std::size_t i = 0; i < rows; ++i) set.before[i + 1] += set.before[i];
    set.o_order = OrderOf(set.o, set_rows[k], sorter);
  }
}

void RecordPairs::Begin(std::span<const RowRun> runs, Room& room) const {
  room.runs.clear();
  room.times.assign(static_cast<std::size_t>(rows_), 0);
  for (const RowRun& run : runs) {
    const std::int64_t end = std::min(run.start + run.length, rows_);
    if (run.start >= end) continue;
    room.runs.push_back({run.start, end - run.start});
    for (std::int64_t i = run.start; i < end; ++i) ++room.times[static_cast<std::size_t>(i)];
  }
  room.observed_done = -1;
}

void RecordPairs::Walk(const Order& order, const std::vector<std::uint32_t>& times,
                       std::vector<double>& sorted, std::vector<double>& log,
                       std::vector<double>& rank) {
  const std::size_t n = order.value.size();
  // Each value is written kAhead times whatever the resample holds, the next value written
  // over the copies it does not hold: most rows are held 0 to kAhead times, and a branch on
  // that count would go wrong a third of the time. So the lists get room for kAhead more.
  constexpr std::uint32_t kAhead = 4;
  const std::size_t size = sorted.size();
  sorted.resize(size + kAhead);
  log.resize(size + kAhead);
  double* const to_value = sorted.data();
  double* const to_log = log.data();
  std::size_t out = 0;
  // Rank of the `held` values that begin at `out`: the mean of out + 1 .. out + held, as
  // AssignRanks gives a run of ties (and a lone value) of the resample. A row the resample
  // does not hold gets one too, never read.
  const auto rank_of = [&out](std::size_t held) {
    return static_cast<double>(2 * out + held + 1) / 2;
  };
  const auto write = [&](std::size_t k, std::uint32_t held) {
    const double v = order.value[k], l = order.log[k];
    for (std::uint32_t c = 0; c < kAhead; ++c) {
      to_value[out + c] = v;
      to_log[out + c] = l;
    }
    for (std::uint32_t c = kAhead; c < held; ++c) {  // seldom
      to_value[out + c] = v;
      to_log[out + c] = l;
    }
  };
  for (std::size_t k = 0; k < n;) {
    if (!order.tie[k]) {  // most values: no equal one in the record
      const std::uint32_t held = times[static_cast<std::size_t>(order.row[k])];
      rank[static_cast<std::size_t>(order.pair[k])] = rank_of(held);
      write(k, held);
      out += held;
      ++k;
      continue;
    }
    std::size_t end = k + 1;
    while (order.tie[end - 1]) ++end;
    std::size_t held = 0;
    for (std::size_t i = k; i < end; ++i) held += times[static_cast<std::size_t>(order.row[i])];
    const double shared = rank_of(held);
    for (; k < end; ++k) {
      const std::uint32_t here = times[static_cast<std::size_t>(order.row[k])];
      rank[static_cast<std::size_t>(order.pair[k])] = shared;
      write(k, here);
      out += here;
    }
  }
  sorted.resize(size);
  log.resize(size);
}

void RecordPairs::Pairs(std::size_t model, Room& room) const {
  const Model& m = models_[model];
  const PairSet& set = sets_[static_cast<std::size_t>(m.set)];
  PairedSeries& s = room.series;
  const auto count_of = [&room](const PairSet& of) {
    std::size_t n = 0;
    for (const RowRun& run : room.runs) {
      n += static_cast<std::size_t>(of.before[static_cast<std::size_t>(run.start + run.length)] -
                                    of.before[static_cast<std::size_t>(run.start)]);
    }
    return n;
  };
  const std::size_t n = count_of(set);
  s.all_observed = m.set == 0 || n == count_of(sets_[0]);
  if (room.observed_done != m.set) {
    s.o.resize(n);
    s.o_sorted.resize(n);
    s.o_sorted_log.resize(n);
    s.o_rank.resize(n);
    room.o_rank.resize(set.o.size());
    Walk(set.o_order, room.times, s.o_sorted, s.o_sorted_log, room.o_rank);
    CopyRuns(room.runs, set.before, set.o, s.o);
    CopyRuns(room.runs, set.before, room.o_rank, s.o_rank);
    s.o_sum = SumOf(s.o);
    s.o_min = n == 0 ? kInf : s.o_sorted.front();
    s.o_max = n == 0 ? -kInf : s.o_sorted.back();
    room.observed_done = m.set;
  }
  s.p.resize(n);
  s.p_sorted.resize(n);
  s.p_sorted_log.resize(n);
  s.p_rank.resize(n);
  room.p_rank.resize(m.p.size());
  Walk(m.p_order, room.times, s.p_sorted, s.p_sorted_log, room.p_rank);
  CopyRuns(room.runs, set.before, m.p, s.p);
  CopyRuns(room.runs, set.before, room.p_rank, s.p_rank);
  s.p_sum = SumOf(s.p);
  s.p_min = n == 0 ? kInf : s.p_sorted.front();
  s.p_max = n == 0 ? -kInf : s.p_sorted.back();
}

}  // namespace quelvaris
