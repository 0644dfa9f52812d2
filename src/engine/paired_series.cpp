#include "engine/paired_series.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quelvaris {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Ranks 1..n from values in ascending order into rank[at] (`rank` sized for every `at`); tied
// values share the mean of the ranks they span, the usual reading of Spearman's coefficient
// with ties.
void AssignRanks(const std::vector<PlacedValue>& sorted, std::vector<double>& rank) {
  const std::size_t n = sorted.size();
  std::size_t first = 0;
  while (first < n) {
    const double value = sorted[first].value;
    std::size_t end = first + 1;
    while (end < n && sorted[end].value == value) ++end;
    // (first + 1 + end) / 2, the mean of the ranks first + 1 .. end; formed in int so that the
    // conversion to double is a single instruction.
    const double shared = static_cast<double>(static_cast<int>(first + end + 1)) / 2;
    for (; first < end; ++first) rank[static_cast<std::size_t>(sorted[first].at)] = shared;
  }
}

}  // namespace

ObservedOrder OrderObserved(std::span<const double> observed, const PairRule& rule,
                            ValueSorter& sorter) {
  ObservedOrder order;
  order.usable.resize(observed.size());
  std::vector<double> values;
  std::vector<int> rows;
  for (std::size_t i = 0; i < observed.size(); ++i) {
    order.usable[i] = rule.Usable(observed[i]);
    if (!order.usable[i]) continue;
    values.push_back(observed[i]);
    rows.push_back(static_cast<int>(i));
  }
  sorter.Sort(values, order.sorted);
  order.sorted_log.resize(order.sorted.size());
  for (std::size_t j = 0; j < order.sorted.size(); ++j) {
    PlacedValue& v = order.sorted[j];
    v.at = rows[static_cast<std::size_t>(v.at)];
    order.sorted_log[j] = std::log(v.value);
  }
  return order;
}

void PairRows(std::span<const double> observed, std::span<const double> modelled,
              const ObservedOrder& order, const PairRule& rule, ValueSorter& sorter,
              PairedSeries& s) {
  const std::size_t rows = std::min(observed.size(), modelled.size());
  s.o.resize(rows);
  s.p.resize(rows);
  s.row_of_pair.resize(rows);
  s.paired.assign(observed.size(), 0);
  double o_min = kInf, o_max = -kInf, p_min = kInf, p_max = -kInf, o_sum = 0, p_sum = 0;
  std::size_t count = 0;
  for (std::size_t i = 0; i < rows; ++i) {
    const double o = observed[i];
    const double p = modelled[i];
    if (!order.usable[i] || !rule.Usable(p)) continue;
    s.paired[i] = 1;
    s.row_of_pair[count] = static_cast<int>(i);
    s.o[count] = o;
    s.p[count] = p;
    ++count;
    o_min = std::min(o_min, o);
    o_max = std::max(o_max, o);
    p_min = std::min(p_min, p);
    p_max = std::max(p_max, p);
    o_sum += o;
    p_sum += p;
  }
  s.o.resize(count);
  s.p.resize(count);
  s.row_of_pair.resize(count);
  s.o_min = o_min;
  s.o_max = o_max;
  s.p_min = p_min;
  s.p_max = p_max;
  s.o_sum = o_sum;
  s.p_sum = p_sum;

  // The observed order thinned to this model's paired rows is still in order: one pass
  // instead of a sort per model. (A byte per row to look up: the whole mask stays in cache.)
  s.o_sorted.clear();
  s.o_sorted_log.clear();
  for (std::size_t j = 0; j < order.sorted.size(); ++j) {
    const PlacedValue& v = order.sorted[j];
    if (!s.paired[static_cast<std::size_t>(v.at)]) continue;
    s.o_sorted.push_back(v);
    s.o_sorted_log.push_back(order.sorted_log[j]);
  }
  s.o_rank_of_row.resize(observed.size());
  AssignRanks(s.o_sorted, s.o_rank_of_row);
  s.o_rank.resize(count);
  for (std::size_t k = 0; k < count; ++k) {
    s.o_rank[k] = s.o_rank_of_row[static_cast<std::size_t>(s.row_of_pair[k])];
  }
  sorter.Sort(s.p, s.p_sorted);
  s.p_rank.resize(count);
  AssignRanks(s.p_sorted, s.p_rank);
}

}  // namespace quelvaris
