#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "engine/series_figures.h"
#include "engine/value_order.h"

namespace quelvaris {

// Which rows pair up. A row is paired when both its values are usable by the series rule: not
// the missing-data code and, with bounds applied, within them (a value on a bound is within). A
// row with one value missing or outside is dropped from both series, as tools that compare
// paired series do; the 26 classic figures instead take each series' own statistics over its
// own values. The threshold plays no part in pairing.
using PairRule = SeriesRule;

// The observed series prepared once for every model of a run: which rows are usable, and the
// usable values in ascending order with their rows.
struct ObservedOrder {
  std::vector<unsigned char> usable;  // per row
  std::vector<PlacedValue> sorted;    // `at` is the row
};

ObservedOrder OrderObserved(std::span<const double> observed, const PairRule& rule,
                            ValueSorter& sorter);

// The paired rows of one model: both series in row order, each also in ascending order with
// its ranks. Kept from one model to the next so that a run allocates once.
struct PairedSeries {
  std::vector<double> o;  // observed, one per paired row
  std::vector<double> p;  // modelled
  double o_min = 0, o_max = 0, p_min = 0, p_max = 0;
  double o_sum = 0, p_sum = 0;
  std::vector<double> o_sorted;    // ascending
  std::vector<int> o_sorted_pair;  // the paired row of each o_sorted value
  std::vector<double> p_sorted;
  // LogOf of the lowest `sorted_logs` values of o_sorted and p_sorted, when the series comes
  // with them (the rest of these lists means nothing); the figures take the logarithms they need
  // beyond those themselves.
  std::vector<double> o_sorted_log, p_sorted_log;
  std::size_t sorted_logs = 0;
  std::vector<double> o_rank;  // of each paired row, 1..n; tied values share their mean rank
  std::vector<double> p_rank;
  std::vector<int> pair_of_row;  // per table row: its paired row, or -1
  bool all_observed = false;  // every usable observed row pairs (the model has no gap of its own)

  std::size_t Count() const { return o.size(); }
  bool OConstant() const { return o_min == o_max; }
  bool PConstant() const { return p_min == p_max; }
};

// Pairs the modelled series with the observed one (rows beyond the shorter are dropped). `s`
// goes from model to model of one run, with the same `order`: when this model and the one
// before both pair with every usable observed row, the observed order and ranks are kept.
void PairRows(std::span<const double> observed, std::span<const double> modelled,
              const ObservedOrder& order, const PairRule& rule, ValueSorter& sorter,
              PairedSeries& s);

}  // namespace quelvaris
