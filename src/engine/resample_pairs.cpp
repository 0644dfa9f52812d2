#include "engine/resample_pairs.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "platform/log_array.h"

namespace quelvaris {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Copies from[first .. end) of every span to `to`, end to end.
void CopySpans(std::span<const std::pair<int, int>> spans, const std::vector<double>& from,
               std::vector<double>& to) {
  double* out = to.data();
  for (const auto& [first, end] : spans) {
    out = std::copy(from.data() + first, from.data() + end, out);
  }
}

}  // namespace

RecordPairs::Order RecordPairs::OrderOf(const std::vector<double>& values, ValueSorter& sorter) {
  std::vector<PlacedValue> sorted;
  sorter.Sort(values, sorted);
  Order order;
  const std::size_t n = sorted.size();
  order.pair.resize(n);
  order.value.resize(n);
  order.log.resize(n);
  for (std::size_t k = 0; k < n; ++k) {
    const bool tie = k + 1 < n && sorted[k + 1].value == sorted[k].value;
    order.pair[k] = tie ? ~sorted[k].at : sorted[k].at;
    order.value[k] = sorted[k].value;
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
    model.p_order = OrderOf(model.p, sorter);
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
    set.o_order = OrderOf(set.o, sorter);
  }
}

void RecordPairs::Begin(std::span<const RowRun> runs, Room& room) const {
  room.runs.clear();
  for (const RowRun& run : runs) {
    const std::int64_t end = std::min(run.start + run.length, rows_);
    if (run.start < end) room.runs.push_back({run.start, end - run.start});
  }
  room.spans.clear();
  for (const PairSet& set : sets_) {
    for (const RowRun& run : room.runs) {
      room.spans.emplace_back(set.before[static_cast<std::size_t>(run.start)],
                              set.before[static_cast<std::size_t>(run.start + run.length)]);
    }
  }
  SumRuns(room);
  room.observed_done = -1;
}

void RecordPairs::SumRuns(Room& room) const {
  // Each sum is one running total in the resample's order, as PairRows adds them, so each
  // takes an addition's latency for every value: four of them are added side by side, in one
  // loop where their runs hold as many pairs.
  const std::size_t sets = sets_.size(), runs = room.runs.size();
  const std::size_t chains = sets + models_.size();
  room.sums.assign(chains, 0);
  constexpr std::size_t kWidth = 4;
  for (std::size_t c0 = 0; c0 < chains; c0 += kWidth) {
    const std::size_t width = std::min(kWidth, chains - c0);
    std::array<const double*, kWidth> values{};
    std::array<const std::pair<int, int>*, kWidth> spans{};
    for (std::size_t w = 0; w < width; ++w) {
      const std::size_t c = c0 + w;
      const std::size_t set = c < sets ? c : static_cast<std::size_t>(models_[c - sets].set);
      values[w] = c < sets ? sets_[c].o.data() : models_[c - sets].p.data();
      spans[w] = room.spans.data() + set * runs;
    }
    std::array<double, kWidth> t{};
    for (std::size_t r = 0; r < runs; ++r) {
      const int length = spans[0][r].second - spans[0][r].first;
      bool alike = width == kWidth;
      for (std::size_t w = 1; w < width; ++w) {
        alike = alike && spans[w][r].second - spans[w][r].first == length;
      }
      if (alike) {
        const double* const v0 = values[0] + spans[0][r].first;
        const double* const v1 = values[1] + spans[1][r].first;
        const double* const v2 = values[2] + spans[2][r].first;
        const double* const v3 = values[3] + spans[3][r].first;
        double t0 = t[0], t1 = t[1], t2 = t[2], t3 = t[3];
        for (int i = 0; i < length; ++i) {
          t0 += v0[i];
          t1 += v1[i];
          t2 += v2[i];
          t3 += v3[i];
        }
        t = {t0, t1, t2, t3};
        continue;
      }
      for (std::size_t w = 0; w < width; ++w) {
        double sum = t[w];
        for (int i = spans[w][r].first; i < spans[w][r].second; ++i) sum += values[w][i];
        t[w] = sum;
      }
    }
    for (std::size_t w = 0; w < width; ++w) room.sums[c0 + w] = t[w];
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
                       std::vector<double>& rank) {
  const std::size_t n = order.value.size();
  // Each value is written kAhead times whatever the resample holds, the next value written
  // over the copies it does not hold: most rows are held 0 to kAhead times, and a branch on
  // that count would go wrong a third of the time. So the lists get room for kAhead more.
  const std::size_t size = sorted.size();
  sorted.resize(size + kAhead);
  log.resize(size + kAhead);
  double* const to_value = sorted.data();
  double* const to_log = log.data();
  const int* const pairs = order.pair.data();
  std::size_t out = 0;
  // Rank of the `count` values that begin at `out`: the mean of out + 1 .. out + count, as
  // AssignRanks gives a run of ties (and a lone value) of the resample. A row the resample
  // does not hold gets one too, never read.
  const auto rank_of = [&out](std::size_t count) {
    return static_cast<double>(2 * out + count + 1) / 2;
  };
  // The values from k on, with their logarithms (With_log) or without; returns where it
  // stopped: at n, or (With_log) once `logged` values are written.
  const auto walk = [&]<bool With_log>(std::size_t k) {
    while (k < n && (!With_log || out < logged)) {
      const int pair = pairs[k];
      if (pair >= 0) {  // most values: no equal one in the record
        const std::uint32_t times = held[static_cast<std::size_t>(pair)];
        rank[static_cast<std::size_t>(pair)] = rank_of(times);
        WriteHeld(to_value + out, order.value[k], times);
        if constexpr (With_log) WriteHeld(to_log + out, order.log[k], times);
        out += times;
        ++k;
        continue;
      }
      std::size_t end = k + 1;
      while (pairs[end - 1] < 0) ++end;
      std::size_t count = 0;
      for (std::size_t i = k; i < end; ++i) {
        const int at = pairs[i] < 0 ? ~pairs[i] : pairs[i];
        count += held[static_cast<std::size_t>(at)];
      }
      const double shared = rank_of(count);
      for (; k < end; ++k) {
        const int at = pairs[k] < 0 ? ~pairs[k] : pairs[k];
        const std::uint32_t times = held[static_cast<std::size_t>(at)];
        rank[static_cast<std::size_t>(at)] = shared;
        WriteHeld(to_value + out, order.value[k], times);
        if constexpr (With_log) WriteHeld(to_log + out, order.log[k], times);
        out += times;
      }
    }
    return k;
  };
  walk.template operator()<false>(walk.template operator()<true>(0));
  sorted.resize(size);
  log.resize(size);
}

void RecordPairs::Pairs(std::size_t model, Room& room) const {
  const Model& m = models_[model];
  const auto set_index = static_cast<std::size_t>(m.set);
  const PairSet& set = sets_[set_index];
  PairedSeries& s = room.series;
  const std::size_t runs = room.runs.size();
  const auto spans_of = [&room, runs](std::size_t of) {
    return std::span<const std::pair<int, int>>(room.spans.data() + of * runs, runs);
  };
  const auto count_of = [&](std::size_t of) {
    std::size_t n = 0;
    for (const auto& [first, end] : spans_of(of)) n += static_cast<std::size_t>(end - first);
    return n;
  };
  const std::span<const std::pair<int, int>> spans = spans_of(set_index);
  const std::size_t n = count_of(set_index);
  s.all_observed = m.set == 0 || n == count_of(0);
  // The logarithms of the lowest third and a little more: enough for the low flow segment.
  s.sorted_logs = std::min(n, n / 3 + 2);
  if (room.observed_done != m.set) {
    room.held.assign(set.o.size(), 0);
    for (const auto& [first, end] : spans) {
      for (int i = first; i < end; ++i) ++room.held[static_cast<std::size_t>(i)];
    }
    s.o.resize(n);
    s.o_sorted.resize(n);
    s.o_sorted_log.resize(n);
    s.o_rank.resize(n);
    room.o_rank.resize(set.o.size());
    Walk(set.o_order, room.held, s.o_sorted, s.o_sorted_log, s.sorted_logs, room.o_rank);
    CopySpans(spans, set.o, s.o);
    CopySpans(spans, room.o_rank, s.o_rank);
    s.o_sum = room.sums[set_index];
    s.o_min = n == 0 ? kInf : s.o_sorted.front();
    s.o_max = n == 0 ? -kInf : s.o_sorted.back();
    room.observed_done = m.set;
  }
  s.p.resize(n);
  s.p_sorted.resize(n);
  s.p_sorted_log.resize(n);
  s.p_rank.resize(n);
  room.p_rank.resize(m.p.size());
  Walk(m.p_order, room.held, s.p_sorted, s.p_sorted_log, s.sorted_logs, room.p_rank);
  CopySpans(spans, m.p, s.p);
  CopySpans(spans, room.p_rank, s.p_rank);
  s.p_sum = room.sums[sets_.size() + model];
  s.p_min = n == 0 ? kInf : s.p_sorted.front();
  s.p_max = n == 0 ? -kInf : s.p_sorted.back();
}

}  // namespace quelvaris
