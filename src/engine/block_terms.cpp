#include "engine/block_terms.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quelvaris {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

double At(std::span<const double> x, std::int64_t i, double missing) {
  return i < static_cast<std::int64_t>(x.size()) ? x[static_cast<std::size_t>(i)] : missing;
}

int SignOf(double v) {
  return (v > 0) - (v < 0);
}

// The largest of v over each candidate block less its first `skip` rows (-inf when that leaves
// none). Moving blocks of one length L take the larger of two running maxima, one over the
// block's part in its L-row segment and one over the rest in the next segment; other blocks
// are read whole.
void BlockMaxima(const std::vector<double>& v, const BlockPlan& plan, std::int64_t skip,
                 std::vector<double>& out, TermScratch& scratch) {
  const std::size_t count = plan.candidates.size();
  out.resize(count);
  const std::int64_t length = plan.block_length;
  if (length <= 0) {
    for (std::size_t c = 0; c < count; ++c) {
      const Block& b = plan.candidates[c];
      double m = -kInf;
      for (std::int64_t i = b.start + skip; i < b.start + b.length; ++i) {
        m = std::max(m, v[static_cast<std::size_t>(i)]);
      }
      out[c] = m;
    }
    return;
  }
  const std::size_t n = v.size();
  const auto l = static_cast<std::size_t>(length);
  std::vector<double>& from_start = scratch.from_start;
  std::vector<double>& to_end = scratch.to_end;
  from_start.resize(n);
  to_end.resize(n);
  // (`at`: i's place in its segment, counted along instead of divided out.)
  for (std::size_t i = 0, at = 0; i < n; ++i, at = at + 1 == l ? 0 : at + 1) {
    from_start[i] = at == 0 ? v[i] : std::max(from_start[i - 1], v[i]);
  }
  for (std::size_t i = n, at = n == 0 ? 0 : (n - 1) % l; i-- > 0; at = at == 0 ? l - 1 : at - 1) {
    to_end[i] = at + 1 == l || i + 1 == n ? v[i] : std::max(to_end[i + 1], v[i]);
  }
  for (std::size_t c = 0; c < count; ++c) {
    const auto s = static_cast<std::size_t>(plan.candidates[c].start + skip);
    out[c] = skip >= length ? -kInf : std::max(to_end[s], from_start[s + l - 1 - skip]);
  }
}

// The sums of one series' value under its rule, about `centre`.
void AddSeriesValue(double x, const SeriesRule& rule, double centre, double* sums) {
  if (rule.Missing(x)) return;
  if (rule.OutOfBounds(x)) {
    sums[term::kOutOfBounds] += 1;
    return;
  }
  sums[term::kUsable] += 1;
  sums[term::kOverThreshold] += x > rule.threshold;
  const double d = x - centre;
  const double d2 = d * d;
  sums[term::kD1] += d;
  sums[term::kD2] += d2;
  sums[term::kD3] += d2 * d;
  sums[term::kD4] += d2 * d2;
}

}  // namespace

double CentreOf(std::span<const double> x, const SeriesRule& rule, std::int64_t rows) {
  double sum = 0;
  std::int64_t n = 0;
  for (std::int64_t i = 0; i < rows; ++i) {
    const double v = At(x, i, rule.missing_code);
    if (!rule.Usable(v)) continue;
    sum += v;
    ++n;
  }
  return n == 0 ? 0 : sum / static_cast<double>(n);
}

void ObservedBlockTerms(const TermInputs& in, const BlockPlan& plan, std::vector<double>& table,
                        TermScratch& scratch) {
  constexpr std::size_t kSums = term::kSeriesSums;
  const auto rows = static_cast<std::size_t>(in.rows);
  std::vector<double>& prefix = scratch.prefix;
  // Every row past the first is written whole from the one before it.
  prefix.resize((rows + 1) * kSums);
  std::fill_n(prefix.begin(), kSums, 0.0);
  std::vector<double>& low = scratch.low;
  std::vector<double>& high = scratch.high;
  low.resize(rows);
  high.resize(rows);
  for (std::size_t i = 0; i < rows; ++i) {
    double* next = &prefix[(i + 1) * kSums];
    std::copy_n(&prefix[i * kSums], kSums, next);
    const double o = At(in.observed, static_cast<std::int64_t>(i), in.rule.missing_code);
    AddSeriesValue(o, in.rule, in.observed_centre, next);
    const bool usable = in.rule.Usable(o);
    low[i] = usable ? -o : -kInf;
    high[i] = usable ? o : -kInf;
  }
  std::vector<double>& lows = scratch.lows;
  std::vector<double>& highs = scratch.highs;
  BlockMaxima(low, plan, 0, lows, scratch);
  BlockMaxima(high, plan, 0, highs, scratch);
  const std::size_t count = plan.candidates.size();
  table.assign(count * term::kObservedTerms, 0.0);
  for (std::size_t c = 0; c < count; ++c) {
    const Block& b = plan.candidates[c];
    double* t = &table[c * term::kObservedTerms];
    const double* to = &prefix[static_cast<std::size_t>(b.start + b.length) * kSums];
    const double* from = &prefix[static_cast<std::size_t>(b.start) * kSums];
    for (std::size_t k = 0; k < kSums; ++k) t[k] = to[k] - from[k];
    t[term::kObservedNegLow] = lows[c];
    t[term::kObservedHigh] = highs[c];
  }
}

void AddObservedRows(const TermInputs& in, std::int64_t start, std::int64_t length, double* acc) {
  for (std::int64_t i = start; i < start + length; ++i) {
    const double o = At(in.observed, i, in.rule.missing_code);
    AddSeriesValue(o, in.rule, in.observed_centre, acc);
    if (!in.rule.Usable(o)) continue;
    acc[term::kObservedNegLow] = std::max(acc[term::kObservedNegLow], -o);
    acc[term::kObservedHigh] = std::max(acc[term::kObservedHigh], o);
  }
}

ModelTerms::ModelTerms(const TermInputs& in, const std::array<double, term::kMarkCount>& marks)
    : in_(in), marks_(marks) {}

bool ModelTerms::Pair(std::int64_t i) const {
  const double mc = in_.rule.missing_code;
  return in_.rule.Usable(At(in_.observed, i, mc)) && in_.rule.Usable(At(in_.modelled, i, mc));
}

int ModelTerms::Sign(std::int64_t i) const {
  if (!Pair(i)) return 0;
  const double mc = in_.rule.missing_code;
  return SignOf(At(in_.observed, i, mc) - At(in_.modelled, i, mc));
}

void ModelTerms::AddRow(std::int64_t i, double* sums) const {
  const double mc = in_.rule.missing_code;
  const double o = At(in_.observed, i, mc);
  const double p = At(in_.modelled, i, mc);
  AddSeriesValue(p, in_.rule, in_.modelled_centre, sums);
  if (!in_.rule.Usable(o) || !in_.rule.Usable(p)) return;
  using namespace term;
  const double e = o - p;
  const double e2 = e * e;
  const double a = o - in_.observed_centre;
  const double b = p - in_.observed_centre;
  const int s = SignOf(a) * SignOf(b);
  sums[kPairs] += 1;
  sums[kE] += e;
  sums[kAbsE] += std::fabs(e);
  sums[kE2] += e2;
  sums[kE4] += e2 * e2;
  sums[kA] += a;
  sums[kA2] += a * a;
  sums[kB] += b;
  sums[kB2] += b * b;
  sums[kAB] += a * b;
  sums[kAbsA] += std::fabs(a);
  sums[kSignA] += SignOf(a);
  sums[kS] += s;
  sums[kSB] += s * b;
  sums[kSA] += s * a;
  sums[kAbsAB] += std::fabs(a) * std::fabs(b);
  if (o == 0) {
    sums[kZeroObserved] += 1;
  } else {
    const double rel = e / o;
    sums[kRel2] += rel * rel;
    sums[kRel] += rel;
    sums[kAbsRel] += std::fabs(rel);
    const double ape = std::fabs(rel) * 100;
    for (std::size_t j = 0; j < kMarkCount; ++j) sums[kBelowMark + j] += ape < marks_[j];
  }
  if (o > 0 && p > 0) {
    const double l = std::log(o) - std::log(p);
    sums[kLogCount] += 1;
    sums[kLog2] += l * l;
  }
}

void ModelTerms::AddStep(std::int64_t i, double* sums) const {
  if (i < 1 || !Pair(i) || !Pair(i - 1)) return;
  const double mc = in_.rule.missing_code;
  const double o = At(in_.observed, i, mc);
  const double p = At(in_.modelled, i, mc);
  const double change = o - At(in_.observed, i - 1, mc);
  const double derivative_error = change - (p - At(in_.modelled, i - 1, mc));
  const double e = o - p;
  sums[term::kChanges] += 1;
  sums[term::kChange] += change;
  sums[term::kChange2] += change * change;
  sums[term::kPersistence] += e * e;
  sums[term::kDerivative] += derivative_error * derivative_error;
}

void ModelTerms::Blocks(const BlockPlan& plan, term::TiledTable& table,
                        TermScratch& scratch) const {
  using namespace term;
  const auto rows = static_cast<std::size_t>(in_.rows);
  // prefix[i]: the sums over rows before i, each row with the step into it and, for a sign
  // that differs from the last non-zero sign before it, a transition.
  std::vector<double>& prefix = scratch.prefix;
  // Every row past the first is written whole from the one before it.
  prefix.resize((rows + 1) * kSums);
  std::fill_n(prefix.begin(), kSums, 0.0);
  std::vector<int>& next_sign = scratch.next_sign;  // first non-zero at or after
  std::vector<int>& last_sign = scratch.last_sign;  // last non-zero at or before
  next_sign.assign(rows + 1, static_cast<int>(rows));
  last_sign.assign(rows, -1);
  std::vector<signed char>& sign = scratch.sign;
  std::vector<double>& low = scratch.low;
  std::vector<double>& high = scratch.high;
  std::vector<double>& abs_e = scratch.abs_e;
  std::vector<double>& change_low = scratch.change_low;
  std::vector<double>& change_high = scratch.change_high;
  change_low.assign(rows, -kInf);
  change_high.assign(rows, -kInf);
  sign.resize(rows);
  low.resize(rows);
  high.resize(rows);
  abs_e.resize(rows);
  const double mc = in_.rule.missing_code;
  int last = 0;
  for (std::size_t i = 0; i < rows; ++i) {
    const auto row = static_cast<std::int64_t>(i);
    double* next = &prefix[(i + 1) * kSums];
    std::copy_n(&prefix[i * kSums], kSums, next);
    AddRow(row, next);
    AddStep(row, next);
    const int s = Sign(row);
    sign[i] = static_cast<signed char>(s);
    if (s != 0) {
      next[kTransitions] += last != 0 && s != last;
      last = s;
    }
    last_sign[i] = s != 0 ? static_cast<int>(i) : (i > 0 ? last_sign[i - 1] : -1);
    const double p = At(in_.modelled, row, mc);
    const bool usable = in_.rule.Usable(p);
    low[i] = usable ? -p : -kInf;
    high[i] = usable ? p : -kInf;
    abs_e[i] = Pair(row) ? std::fabs(At(in_.observed, row, mc) - p) : -kInf;
    if (i > 0 && Pair(row) && Pair(row - 1)) {
      const double change = At(in_.observed, row, mc) - At(in_.observed, row - 1, mc);
      change_low[i] = -change;
      change_high[i] = change;
    }
  }
  for (std::size_t i = rows; i-- > 0;) {
    next_sign[i] = sign[i] != 0 ? static_cast<int>(i) : next_sign[i + 1];
  }
  std::vector<double>& lows = scratch.lows;
  std::vector<double>& highs = scratch.highs;
  std::vector<double>& max_abs_e = scratch.max_abs_e;
  BlockMaxima(low, plan, 0, lows, scratch);
  BlockMaxima(high, plan, 0, highs, scratch);
  BlockMaxima(abs_e, plan, 0, max_abs_e, scratch);
  std::vector<double>& change_lows = scratch.change_lows;
  std::vector<double>& change_highs = scratch.change_highs;
  BlockMaxima(change_low, plan, 1, change_lows, scratch);
  BlockMaxima(change_high, plan, 1, change_highs, scratch);

  const std::size_t count = plan.candidates.size();
  // Every term of every block is written below (the signs and the spare term after them
  // cleared first); the lanes past the last term of the last tile are never read.
  table.resize(kTiles * count * kTileTerms);
  std::array<double, kSums> step_in{};
  std::array<double, kTiles * kTileTerms> block{};  // the spare lanes stay 0
  for (std::size_t c = 0; c < count; ++c) {
    const Block& b = plan.candidates[c];
    const auto start = static_cast<std::size_t>(b.start);
    const auto end = static_cast<std::size_t>(b.start + b.length);
    double* t = block.data();
    const double* to = &prefix[end * kSums];
    const double* from = &prefix[start * kSums];
    for (std::size_t k = 0; k < kSums; ++k) t[k] = to[k] - from[k];
    // The step into the first row, and the first sign's transition, belong to the row before.
    step_in.fill(0);
    AddStep(b.start, step_in.data());
    for (std::size_t k = kChanges; k <= kDerivative; ++k) t[k] -= step_in[k];
    std::fill(t + kFirstSign, t + kBlockTerms, 0.0);
    const auto first = static_cast<std::size_t>(next_sign[start]);
    if (first < end) {
      const int before = first > 0 ? last_sign[first - 1] : -1;
      t[kTransitions] -= before >= 0 && sign[static_cast<std::size_t>(before)] != sign[first];
      t[kFirstSign] = sign[first];
      t[kLastSign] = sign[static_cast<std::size_t>(last_sign[end - 1])];
    }
    t[kNegLow] = lows[c];
    t[kHigh] = highs[c];
    t[kMaxAbsE] = max_abs_e[c];
    t[kNegLowChange] = change_lows[c];
    t[kHighChange] = change_highs[c];
    for (std::size_t j = 0; j < kTiles; ++j) {
      std::copy_n(t + j * kTileTerms, kTileTerms, &table[(j * count + c) * kTileTerms]);
    }
  }
}

void ModelTerms::RowTerms(std::int64_t start, std::int64_t length, double* t) const {
  using namespace term;
  EmptyTerms({t, kBlockTerms}, kSums, kMaxima);
  const double mc = in_.rule.missing_code;
  int last = 0;
  for (std::int64_t i = start; i < start + length; ++i) {
    AddRow(i, t);
    if (i > start) AddStep(i, t);
    const int s = Sign(i);
    if (s != 0) {
      if (t[kFirstSign] == 0) t[kFirstSign] = s;
      t[kTransitions] += last != 0 && s != last;
      last = s;
    }
    const double p = At(in_.modelled, i, mc);
    if (in_.rule.Usable(p)) {
      t[kNegLow] = std::max(t[kNegLow], -p);
      t[kHigh] = std::max(t[kHigh], p);
    }
    if (Pair(i)) t[kMaxAbsE] = std::max(t[kMaxAbsE], std::fabs(At(in_.observed, i, mc) - p));
    if (i > start && Pair(i) && Pair(i - 1)) {
      const double change = At(in_.observed, i, mc) - At(in_.observed, i - 1, mc);
      t[kNegLowChange] = std::max(t[kNegLowChange], -change);
      t[kHighChange] = std::max(t[kHighChange], change);
    }
  }
  t[kLastSign] = last;
}

void EmptyTerms(std::span<double> acc, std::size_t sums, std::size_t maxima) {
  std::fill(acc.begin(), acc.end(), 0.0);
  std::fill_n(acc.begin() + static_cast<std::ptrdiff_t>(sums), maxima, -kInf);
}

CentralSums Recentred(double count, double d1, double d2, double d3, double d4, double mean,
                      double centre) {
  // x - mean = (x - centre) - g with g = mean - centre, expanded by the binomial theorem.
  const double g = mean - centre;
  const double g2 = g * g;
  CentralSums s;
  s.s2 = std::max(0.0, d2 - 2 * g * d1 + count * g2);
  s.s3 = d3 - 3 * g * d2 + 3 * g2 * d1 - count * g2 * g;
  s.s4 = std::max(0.0, d4 - 4 * g * d3 + 6 * g2 * d2 - 4 * g2 * g * d1 + count * g2 * g2);
  return s;
}

bool TermsStayFinite(std::span<const double> observed,
                     const std::vector<std::span<const double>>& models, const SeriesRule& rule,
                     std::int64_t rows) {
  // Every term is at most a fourth power of sums and differences of two values, or the square
  // of a relative error or of a log ratio (at most about 1,500).
  double largest = 1;
  double largest_rel = 1;
  const double mc = rule.missing_code;
  for (std::int64_t i = 0; i < rows; ++i) {
    const double o = At(observed, i, mc);
    if (!rule.Usable(o)) continue;
    largest = std::max(largest, std::fabs(o));
    for (const std::span<const double>& m : models) {
      const double p = At(m, i, mc);
      if (!rule.Usable(p)) continue;
      largest = std::max(largest, std::fabs(p));
      if (o != 0) largest_rel = std::max(largest_rel, std::fabs((o - p) / o) * 100);
    }
  }
  constexpr double kRoom = 1e290;
  const double n = static_cast<double>(std::max<std::int64_t>(rows, 1));
  const double spread = 4 * largest;
  return std::isfinite(largest_rel) && spread * spread * spread * spread < kRoom / n &&
         largest_rel * largest_rel < kRoom / n;
}

}  // namespace quelvaris
