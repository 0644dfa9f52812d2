#include "engine/paired_series.h"

#include <algorithm>
#include <limits>

namespace quelvaris {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

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
  for (PlacedValue& v : order.sorted) v.at = rows[static_cast<std::size_t>(v.at)];
  return order;
}

void PairRows(std::span<const double> observed, std::span<const double> modelled,
              const ObservedOrder& order, const PairRule& rule, ValueSorter& sorter,
              PairedSeries& s) {
  const std::size_t rows = std::min(observed.size(), modelled.size());
  s.o.resize(rows);
  s.p.resize(rows);
  s.pair_of_row.assign(observed.size(), -1);
  double o_sum = 0, p_sum = 0;
  int count = 0;
  for (std::size_t i = 0; i < rows; ++i) {
    const double o = observed[i];
    const double p = modelled[i];
    if (!order.usable[i] || !rule.Usable(p)) continue;
    s.pair_of_row[i] = count;
    s.o[static_cast<std::size_t>(count)] = o;
    s.p[static_cast<std::size_t>(count)] = p;
    ++count;
    o_sum += o;
    p_sum += p;
  }
  const auto n = static_cast<std::size_t>(count);
  s.o.resize(n);
  s.p.resize(n);
  s.o_sum = o_sum;
  s.p_sum = p_sum;

  // The observed order thinned to this model's paired rows is still in order: one pass
  // instead of a sort per model, which also says where each value's rank goes.
  const bool same_observed = s.all_observed && n == order.sorted.size();
  s.all_observed = n == order.sorted.size();
  if (!same_observed) {
    s.o_sorted.resize(n);
    s.o_sorted_pair.resize(n);
    std::size_t kept = 0;
    for (const PlacedValue& v : order.sorted) {
      const int pair = s.pair_of_row[static_cast<std::size_t>(v.at)];
      if (pair < 0) continue;
      s.o_sorted[kept] = v.value;
      s.o_sorted_pair[kept] = pair;
      ++kept;
    }
    s.o_rank.resize(n);
    AssignRanks(s.o_sorted, s.o_sorted_pair, s.o_rank);
  }
  s.sorted_logs = 0;
  s.p_rank.resize(n);
  sorter.Sort(s.p, s.p_sorted, s.p_rank);
  // The extremes are the ends of the orders (infinities when nothing pairs).
  s.o_min = n == 0 ? kInf : s.o_sorted.front();
  s.o_max = n == 0 ? -kInf : s.o_sorted.back();
  s.p_min = n == 0 ? kInf : s.p_sorted.front();
  s.p_max = n == 0 ? -kInf : s.p_sorted.back();
}

}  // namespace quelvaris
