#include "engine/resample_figures.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <limits>

#include "platform/run_time_error.h"

namespace quelvaris {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::int64_t kMinUsable = 4;

// A stretch's sums added to those of other stretches, in any order (`acc` starts as
// EmptyTerms).
inline void AddBlockSums(const double* __restrict block, double* __restrict acc) {
#pragma omp simd
  for (std::size_t k = 0; k < term::kSums; ++k) acc[k] += block[k];
}

// A stretch's maxima taken with those of other stretches, in any order.
inline void TakeBlockMaxima(const double* __restrict block, double* __restrict acc) {
  for (std::size_t k = term::kNegLow; k < term::kNegLow + term::kMaxima; ++k) {
    acc[k] = acc[k] < block[k] ? block[k] : acc[k];
  }
}

// The first and last non-zero signs of the stretches laid down so far, and the changes of
// sign where one stretch meets the next.
struct SignJoin {
  int first = 0, last = 0;
  int transitions = 0;
  // Without branches: the signs of errors change often and at random.
  void Join(int block_first, int block_last) {
    const bool signed_block = block_first != 0;
    transitions += static_cast<int>(signed_block & (last != 0) & (last != block_first));
    first = first != 0 ? first : block_first;
    last = signed_block ? block_last : last;
  }
};

// Four terms of a block or of a resample's sums, side by side. (Passed by value only between
// functions of this file, all inlined: no call across a boundary depends on their layout.)
#pragma GCC diagnostic ignored "-Wpsabi"
using Lanes = double __attribute__((vector_size(32)));

[[gnu::always_inline]] inline Lanes LoadLanes(const double* p) {
  Lanes v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

[[gnu::always_inline]] inline void StoreLanes(double* p, Lanes v) {
  std::memcpy(p, &v, sizeof v);
}

// A block's tile of terms folded into a resample's: sums added, maxima taken, as
// AddBlockSums and TakeBlockMaxima do term by term. The mixed tile's first two terms are sums
// and the rest maxima (its last, the first sign, is joined apart and comes out of here unused).
template <bool kMixed>
[[gnu::always_inline]] inline void FoldTile(const double* block, Lanes& low, Lanes& high) {
  const Lanes b_low = LoadLanes(block);
  const Lanes b_high = LoadLanes(block + 4);
  if constexpr (kMixed) {
    using Mask = long long __attribute__((vector_size(32)));
    constexpr Mask kSumLanes{-1, -1, 0, 0};
    const Lanes added = low + b_low;
    const Lanes taken = low < b_low ? b_low : low;
    low = kSumLanes ? added : taken;
    high = high < b_high ? b_high : high;
  } else {
    low += b_low;
    high += b_high;
  }
}

// One tile of every resample's sums: the resample's whole blocks folded in ascending order of
// candidate, each resample's sums added in the same order whatever the layout, and four
// resamples side by side so that their additions overlap.
template <bool kMixed>
[[gnu::always_inline]] inline void GatherTile(const double* tile, std::size_t j,
                                              std::span<const ResampleRows> resamples,
                                              double* acc) {
  using term::kBlockTerms;
  using term::kTileTerms;
  constexpr std::size_t kGroup = 4;
  const Lanes empty_low = kMixed ? Lanes{0, 0, -kInf, -kInf} : Lanes{0, 0, 0, 0};
  const Lanes empty_high = kMixed ? Lanes{-kInf, -kInf, -kInf, -kInf} : Lanes{0, 0, 0, 0};
  for (std::size_t first = 0; first < resamples.size(); first += kGroup) {
    const std::size_t group = std::min(kGroup, resamples.size() - first);
    Lanes low[kGroup], high[kGroup];
    const int* blocks[kGroup];
    std::size_t count[kGroup];
    std::size_t common = group == kGroup ? std::numeric_limits<std::size_t>::max() : 0;
#pragma GCC unroll 4
    for (std::size_t r = 0; r < kGroup; ++r) {
      low[r] = empty_low;
      high[r] = empty_high;
      const std::vector<int>* whole = r < group ? &resamples[first + r].whole : nullptr;
      blocks[r] = whole != nullptr ? whole->data() : nullptr;
      count[r] = whole != nullptr ? whole->size() : 0;
      common = std::min(common, count[r]);
    }
    for (std::size_t k = 0; k < common; ++k) {
#pragma GCC unroll 4
      for (std::size_t r = 0; r < kGroup; ++r) {
        FoldTile<kMixed>(tile + static_cast<std::size_t>(blocks[r][k]) * kTileTerms, low[r],
                         high[r]);
      }
    }
    for (std::size_t r = 0; r < group; ++r) {
      for (std::size_t k = common; k < count[r]; ++k) {
        FoldTile<kMixed>(tile + static_cast<std::size_t>(blocks[r][k]) * kTileTerms, low[r],
                         high[r]);
      }
      double* a = acc + (first + r) * kBlockTerms + j * kTileTerms;
      StoreLanes(a, low[r]);
      StoreLanes(a + 4, high[r]);
    }
  }
}

// Every whole block's sums and maxima added to the resamples that take it, tile by tile of
// the model's table. The hot loop of the resampled figures, built for AVX2 as well where the
// processor has it.
__attribute__((target_clones("avx2", "default"))) void AddWholeBlocks(
    const double* table, std::size_t candidates, std::span<const ResampleRows> resamples,
    double* acc) {
  using term::kTileTerms;
  for (std::size_t j = 0; j < term::kSumTiles; ++j) {
    GatherTile<false>(table + j * candidates * kTileTerms, j, resamples, acc);
  }
  const std::size_t j = term::kSumTiles;
  GatherTile<true>(table + j * candidates * kTileTerms, j, resamples, acc);
}

// Where the marks split a model's percentage errors: shares of them below each mark.
// A resample's median mostly lies within a percent or two of the record's: the marks are
// closest where it most often is.
constexpr std::array<double, term::kMarkCount> kMarkShares{0.47, 0.485, 0.495, 0.5, 0.505, 0.515};

int SignOf(double v) {
  return (v > 0) - (v < 0);
}

double At(std::span<const double> x, std::int64_t i, double missing) {
  return i < static_cast<std::int64_t>(x.size()) ? x[static_cast<std::size_t>(i)] : missing;
}

// A series' totals from its resampled terms (usable count, ..., -min, max at `neg_low`).
SeriesTotals TotalsOf(const double* t, std::size_t neg_low, double centre) {
  SeriesTotals totals;
  totals.usable = static_cast<std::int64_t>(t[term::kUsable]);
  totals.out_of_bounds = static_cast<std::int64_t>(t[term::kOutOfBounds]);
  totals.over_threshold = static_cast<std::int64_t>(t[term::kOverThreshold]);
  totals.lo = -t[neg_low];
  totals.hi = t[neg_low + 1];
  totals.sum = totals.lo == totals.hi ? totals.lo * t[term::kUsable]
                                      : t[term::kD1] + t[term::kUsable] * centre;
  return totals;
}

// A series' basic figures from its resampled terms, as SeriesFiguresOf gives them. True when
// they are complete.
bool SeriesFiguresOfTerms(const double* t, std::size_t neg_low, double centre,
                          const SeriesRule& rule, double min_start, SeriesStats& rec) {
  const SeriesTotals totals = TotalsOf(t, neg_low, centre);
  const SeriesStage stage = SeriesFiguresFromTotals(totals, rule, min_start, rec);
  if (stage != SeriesStage::NeedsDeviations) return stage == SeriesStage::Complete;
  const CentralSums sums = Recentred(t[term::kUsable], t[term::kD1], t[term::kD2], t[term::kD3],
                                     t[term::kD4], rec.Mean, centre);
  SeriesFiguresFromDeviations(sums, totals.usable, rec);
  return true;
}

}  // namespace

std::span<const PlacedValue> RowWindow::Within(double lo, double hi) const {
  const auto first = std::lower_bound(rows.begin(), rows.end(), lo,
                                      [](const PlacedValue& v, double x) { return v.value < x; });
  const auto last = std::upper_bound(first, rows.end(), hi,
                                     [](double x, const PlacedValue& v) { return x < v.value; });
  return {first, last};
}

ObservedResamples::ObservedResamples(std::span<const double> observed_series,
                                     const EvaluationOptions& evaluation, const BlockPlan& blocks)
    : observed(observed_series), options(evaluation), plan(blocks) {
  centre = CentreOf(observed, options.rule, plan.rows);
}

void ObservedResamples::Tables(TermScratch& scratch) {
  const TermInputs in{observed, {}, options.rule, plan.rows, centre, 0};
  ObservedBlockTerms(in, plan, table_, scratch);
}

void ObservedResamples::Prepare(const std::vector<int>& chosen, ResampleRows& r) const {
  PrepareSums(chosen, r);
  CountRows(r, r.times);
}

void ObservedResamples::CountRows(const ResampleRows& r, std::vector<std::uint32_t>& times) const {
  // Each row's count: +1 where a block starts, -1 past its end, summed down the record.
  const auto rows = static_cast<std::size_t>(plan.rows);
  times.assign(rows + 1, 0);
  for (std::size_t b = 0; b < r.blocks.size(); ++b) {
    const Block& block = plan.candidates[static_cast<std::size_t>(r.blocks[b])];
    ++times[static_cast<std::size_t>(block.start)];
    --times[static_cast<std::size_t>(block.start + r.Take(b, block))];
  }
  std::uint32_t running = 0;
  for (std::uint32_t& t : times) {
    running += t;
    t = running;
  }
  times.resize(rows);
}

void ObservedResamples::PrepareSums(const std::vector<int>& chosen, ResampleRows& r) const {
  r.blocks.clear();
  r.whole.clear();
  std::int64_t left = plan.rows;
  for (std::size_t b = 0; b < chosen.size() && left > 0; ++b) {
    const Block& block = plan.candidates[static_cast<std::size_t>(chosen[b])];
    const std::int64_t take = std::min(block.length, left);
    left -= take;
    r.blocks.push_back(chosen[b]);
    r.last_take = take;
    if (take == block.length) r.whole.push_back(chosen[b]);
  }
  std::sort(r.whole.begin(), r.whole.end());

  std::array<double, term::kObservedTerms> acc{};
  EmptyTerms(acc, term::kSeriesSums, 2);
  const TermInputs in{observed, {}, options.rule, plan.rows, centre, 0};
  for (std::size_t b = 0; b < r.blocks.size(); ++b) {
    const auto c = r.blocks[b];
    const Block& block = plan.candidates[static_cast<std::size_t>(c)];
    const std::int64_t take = r.Take(b, block);
    if (take < block.length) {
      AddObservedRows(in, block.start, take, acc.data());
      continue;
    }
    const double* t = &table_[static_cast<std::size_t>(c) * term::kObservedTerms];
    for (std::size_t k = 0; k < term::kSeriesSums; ++k) acc[k] += t[k];
    for (std::size_t k = term::kObservedNegLow; k < term::kObservedTerms; ++k) {
      acc[k] = std::max(acc[k], t[k]);
    }
  }
  // As Evaluate: without 4 usable observed values no model has figures; a fault in the
  // observed figures leaves the ones it reached.
  r.figures = acc[term::kUsable] >= kMinUsable;
  if (!r.figures) return;
  try {
    SeriesFiguresOfTerms(acc.data(), term::kObservedNegLow, centre, options.rule, kObservedMinStart,
                         r.observed);
  } catch (const std::exception&) {
  }
}

void ObservedResamples::CorrectedRows(const ResampleRows& r, std::span<const std::uint32_t> times,
                                      std::vector<CountedRow>& out) const {
  out.clear();
  if (!r.figures) return;
  const double mean_o = r.observed.Mean;
  for (const PlacedValue& v : window.Within(std::min(centre, mean_o), std::max(centre, mean_o))) {
    const std::uint32_t w = times[static_cast<std::size_t>(v.at)];
    if (w != 0) out.push_back({v.at, static_cast<double>(w), v.value});
  }
}

void ObservedResamples::WindowOver(std::span<const ResampleRows> resamples) {
  window_lo = centre;
  window_hi = centre;
  for (const ResampleRows& r : resamples) {
    if (!r.figures) continue;
    window_lo = std::min(window_lo, r.observed.Mean);
    window_hi = std::max(window_hi, r.observed.Mean);
  }
  window.rows.clear();
  for (std::int64_t i = 0; i < plan.rows; ++i) {
    const double o = At(observed, i, options.rule.missing_code);
    if (options.rule.Usable(o) && window_lo <= o && o <= window_hi) {
      window.rows.push_back({o, static_cast<int>(i)});
    }
  }
  std::stable_sort(window.rows.begin(), window.rows.end(),
                   [](const PlacedValue& a, const PlacedValue& b) { return a.value < b.value; });
}

ModelResamples::ModelResamples(const ObservedResamples& observed, std::span<const double> modelled,
                               ResampleScratch& scratch)
    : obs_(observed), modelled_(modelled) {
  const SeriesRule& rule = obs_.options.rule;
  const double mc = rule.missing_code;
  const BlockPlan& plan = obs_.plan;
  centre_ = CentreOf(modelled_, rule, plan.rows);

  // The percentage errors in order, the marks among them, and the pairs in the window.
  std::vector<double>& values = scratch.values;
  std::vector<int>& rows = scratch.rows;
  std::vector<PlacedValue>& window = window_.rows;
  values.clear();
  rows.clear();
  window.clear();
  for (std::int64_t i = 0; i < plan.rows; ++i) {
    const double o = At(obs_.observed, i, mc);
    const double p = At(modelled_, i, mc);
    if (!rule.Usable(o) || !rule.Usable(p)) continue;
    if (obs_.window_lo <= p && p <= obs_.window_hi) {
      window.push_back({p, static_cast<int>(i)});
    }
    if (o == 0) continue;
    values.push_back(std::fabs((o - p) / o) * 100);
    rows.push_back(static_cast<int>(i));
  }
  std::stable_sort(window.begin(), window.end(),
                   [](const PlacedValue& a, const PlacedValue& b) { return a.value < b.value; });
  scratch.sorter.Sort(values, percentage_errors_);
  for (PlacedValue& v : percentage_errors_) v.at = rows[static_cast<std::size_t>(v.at)];
  const std::size_t count = percentage_errors_.size();
  for (std::size_t j = 0; j < term::kMarkCount; ++j) {
    const auto at = static_cast<std::size_t>(kMarkShares[j] * static_cast<double>(count));
    marks_[j] = at < count ? percentage_errors_[at].value : kInf;
    mark_at_[j] = static_cast<std::size_t>(
        std::lower_bound(percentage_errors_.begin(), percentage_errors_.end(), marks_[j],
                         [](const PlacedValue& v, double x) { return v.value < x; }) -
        percentage_errors_.begin());
  }
  terms_.emplace(TermInputs{obs_.observed, modelled_, rule, plan.rows, obs_.centre, centre_},
                 marks_);
}

void ModelResamples::Sum(std::span<const ResampleRows> resamples, std::span<double> acc,
                         ResampleScratch& scratch) const {
  using term::kBlockTerms;
  const BlockPlan& plan = obs_.plan;
  terms_->Blocks(plan, scratch.table, scratch.terms);
  for (std::size_t i = 0; i < resamples.size(); ++i) {
    EmptyTerms(acc.subspan(i * kBlockTerms, kBlockTerms), term::kSums, term::kMaxima);
  }
  const double* table = scratch.table.data();
  const std::size_t candidates = plan.candidates.size();
  AddWholeBlocks(table, candidates, resamples, acc.data());
  // The signs of each block, kept apart, for the joins in the order the blocks are laid down.
  std::vector<signed char>& signs = scratch.signs;
  signs.resize(2 * candidates);
  for (std::size_t c = 0; c < candidates; ++c) {
    signs[2 * c] = static_cast<signed char>(table[term::TiledAt(candidates, c, term::kFirstSign)]);
    signs[2 * c + 1] =
        static_cast<signed char>(table[term::TiledAt(candidates, c, term::kLastSign)]);
  }
  std::array<double, kBlockTerms> cut{};
  for (std::size_t i = 0; i < resamples.size(); ++i) {
    double* a = &acc[i * kBlockTerms];
    SignJoin join;
    const std::vector<int>& laid = resamples[i].blocks;
    // Only the last block may be cut.
    const std::size_t whole = laid.empty() ? 0 : laid.size() - 1;
    for (std::size_t b = 0; b < whole; ++b) {
      const auto at = 2 * static_cast<std::size_t>(laid[b]);
      join.Join(signs[at], signs[at + 1]);
    }
    if (!laid.empty()) {
      const Block& block = plan.candidates[static_cast<std::size_t>(laid.back())];
      const std::int64_t take = resamples[i].last_take;
      if (take < block.length) {
        terms_->RowTerms(block.start, take, cut.data());
        AddBlockSums(cut.data(), a);
        TakeBlockMaxima(cut.data(), a);
        join.Join(static_cast<int>(cut[term::kFirstSign]), static_cast<int>(cut[term::kLastSign]));
      } else {
        const auto at = 2 * static_cast<std::size_t>(laid.back());
        join.Join(signs[at], signs[at + 1]);
      }
    }
    a[term::kTransitions] += join.transitions;
    a[term::kFirstSign] = join.first;
    a[term::kLastSign] = join.last;
  }
}

ErrorSums ModelResamples::SumsOf(const double* acc, const ResampleRows& r, const RowCounts& counts,
                                 double mean_o, double mean_p) const {
  const std::span<const std::uint32_t> times = counts.times;
  using namespace term;
  const SeriesRule& rule = obs_.options.rule;
  const double mc = rule.missing_code;
  const double a = obs_.centre;
  const double n = acc[kPairs];
  const double go = mean_o - a;
  const double gp = mean_p - a;

  ErrorSums sums;
  PairSums& s = sums.s;
  sums.pairs = static_cast<std::int64_t>(n);
  s.e = acc[kE];
  s.abs_e = acc[kAbsE];
  s.max_abs_e = n > 0 ? acc[kMaxAbsE] : s.max_abs_e;
  s.o = acc[kA] + n * a;
  s.e2 = acc[kE2];
  s.e4 = acc[kE4];
  // A series whose every value is the mean it is taken about has no deviations at all, which
  // the recentred sums would only give to within rounding.
  const bool o_flat = r.observed.Min == r.observed.Max && mean_o == r.observed.Min;
  const double p_low = -acc[kNegLow];
  const bool p_flat = p_low == acc[kHigh] && mean_p == p_low;
  s.dev_o2 = o_flat ? 0 : Recentred(n, acc[kA], acc[kA2], 0, 0, mean_o, a).s2;
  s.dev_p2 = p_flat ? 0 : Recentred(n, acc[kB], acc[kB2], 0, 0, mean_p, a).s2;
  s.cross = o_flat || p_flat ? 0 : acc[kAB] - go * acc[kB] - gp * acc[kA] + n * gp * go;

  // |O - mean O| and |P - mean O| |O - mean O| from the signs about the centre a, corrected
  // on the rows where a sign about the resample's mean differs: those with O or P between
  // a and that mean.
  double abs_dev_o = acc[kAbsA] - go * acc[kSignA];
  double abs_product = acc[kAbsAB] - go * (acc[kSB] + acc[kSA]) + go * go * acc[kS];
  const double lo = std::min(a, mean_o);
  const double hi = std::max(a, mean_o);
  // A row's correction of |P - mean O| |O - mean O|, held w times.
  const auto product_term = [&](double w, double o, double p) {
    const double x = o - mean_o;
    const double y = p - mean_o;
    const int sign = SignOf(o - a) * SignOf(p - a);
    return w * (std::fabs(x) * std::fabs(y) - sign * (x * y));
  };
  for (const CountedRow& c : counts.observed) {
    const double p = At(modelled_, c.row, mc);
    if (!rule.Usable(p)) continue;
    const double x = c.value - mean_o;
    abs_dev_o += c.times * (std::fabs(x) - SignOf(c.value - a) * x);
    abs_product += product_term(c.times, c.value, p);
  }
  // Whether a row of the model's window counts here is a coin toss to a branch predictor: the
  // correction is worked out for every row and kept or not by a selection.
  for (const PlacedValue& v : window_.Within(lo, hi)) {
    const double o = obs_.observed[static_cast<std::size_t>(v.at)];
    const double w = times[static_cast<std::size_t>(v.at)];
    // Rows with O in the observed window are corrected with it.
    const bool counts_here = !(lo <= o && o <= hi) & (w != 0);
    const double corrected = abs_product + product_term(w, o, v.value);
    abs_product = counts_here ? corrected : abs_product;
  }
  if (o_flat) abs_dev_o = abs_product = 0;
  s.abs_dev_o = abs_dev_o;
  const double p_dev2 = p_flat ? n * (p_low - mean_o) * (p_low - mean_o)
                               : Recentred(n, acc[kB], acc[kB2], 0, 0, mean_o, a).s2;
  s.agreement = p_dev2 + s.dev_o2 + 2 * abs_product;

  s.rel2 = acc[kRel2];
  s.rel = acc[kRel];
  s.abs_rel = acc[kAbsRel];
  s.log2 = acc[kLog2];
  s.change2 = acc[kChange2];
  s.persistence = acc[kPersistence];
  s.derivative = acc[kDerivative];
  s.zero_observed = static_cast<std::int64_t>(acc[kZeroObserved]);
  s.log_count = static_cast<std::int64_t>(acc[kLogCount]);
  s.derivative_pairs = static_cast<std::int64_t>(acc[kChanges]);
  s.sign_changes = acc[kFirstSign] != 0 ? static_cast<std::int64_t>(acc[kTransitions]) : -1;
  if (s.derivative_pairs >= 4) {
    const double c = acc[kChanges];
    const bool even = -acc[kNegLowChange] == acc[kHighChange];
    sums.change_dev2 = even ? 0 : std::max(0.0, acc[kChange2] - acc[kChange] * acc[kChange] / c);
  }

  // The middle percentage errors: counted from the last mark at or below the lower one.
  const std::int64_t count = sums.pairs - s.zero_observed;
  if (count >= 3) {
    const std::int64_t k = count / 2;
    const std::int64_t first = count % 2 == 0 ? k - 1 : k;
    std::size_t from = 0;
    double rank = 0;
    for (std::size_t j = 0; j < kMarkCount; ++j) {
      if (acc[kBelowMark + j] > static_cast<double>(first)) break;
      from = mark_at_[j];
      rank = acc[kBelowMark + j];
    }
    auto at = static_cast<std::int64_t>(rank);
    for (std::size_t i = from; i < percentage_errors_.size(); ++i) {
      const PlacedValue& v = percentage_errors_[i];
      // A row the resample does not hold (w = 0) holds no rank: no test below passes for it,
      // which spares a branch on a coin toss.
      const auto w = static_cast<std::int64_t>(times[static_cast<std::size_t>(v.at)]);
      if (at <= first && first < at + w) sums.below_middle = v.value;
      if (at <= k && k < at + w) {
        sums.middle = v.value;
        break;
      }
      at += w;
    }
  }
  return sums;
}

ModelEvaluation ModelResamples::Figures(const double* acc, const ResampleRows& r) const {
  std::vector<CountedRow> observed;
  obs_.CorrectedRows(r, r.times, observed);
  return Figures(acc, r, {r.times, observed});
}

ModelEvaluation ModelResamples::Figures(const double* acc, const ResampleRows& r,
                                        const RowCounts& counts) const {
  const EvaluationOptions& options = obs_.options;
  // The steps of EvaluateModel.
  ModelEvaluation m;
  m.record.undefined = kAllBasicFigures;
  try {
    if (SeriesFiguresOfTerms(acc, term::kNegLow, centre_, options.rule, kModelledMinStart,
                             m.stats)) {
      m.record = RecordOf(m.stats);
    }
  } catch (const std::exception& e) {
    m.basic_fault = ErrorNumberOf(e);
  }
  try {
    const ErrorSums sums = SumsOf(acc, r, counts, r.observed.Mean, m.record.Mean);
    m.errors = ErrorFiguresFromSums(sums, options.rule,
                                    {r.observed, m.record, options.parameters, options.points, {}});
  } catch (const std::exception& e) {
    m.error_fault = ErrorNumberOf(e);
  }
  return m;
}

}  // namespace quelvaris
