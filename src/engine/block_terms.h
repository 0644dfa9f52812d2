#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <new>
#include <span>
#include <vector>

#include "engine/bootstrap_blocks.h"
#include "engine/series_figures.h"

namespace quelvaris {

// The sums that every figure of a stretch of rows is built from, so that the figures of a
// record made of stretches (a block-bootstrap resample) follow from the stretches' sums instead
// of a pass over its rows. One stretch's terms are kBlockTerms doubles at the indices below:
// first the sums (added stretch by stretch), then the maxima (taken), then the signs (joined).
// Powers are taken about fixed centres, the record means, so that the sums about a resample's
// own means follow with little cancellation (see Recentred).
namespace term {
// The modelled series' own values (the observed series' table has the same first entries).
inline constexpr std::size_t kUsable = 0, kOutOfBounds = 1, kOverThreshold = 2;
inline constexpr std::size_t kD1 = 3, kD2 = 4, kD3 = 5, kD4 = 6;  // (x - centre)^k
inline constexpr std::size_t kSeriesSums = 7;
// The usable pairs. E = O - P; A = O - a, B = P - a (a: the observed centre); S = sgn(A) sgn(B).
inline constexpr std::size_t kPairs = 7, kE = 8, kAbsE = 9, kE2 = 10, kE4 = 11;
inline constexpr std::size_t kA = 12, kA2 = 13, kB = 14, kB2 = 15, kAB = 16;
inline constexpr std::size_t kAbsA = 17, kSignA = 18;
inline constexpr std::size_t kS = 19, kSB = 20, kSA = 21, kAbsAB = 22;
inline constexpr std::size_t kZeroObserved = 23, kRel2 = 24, kRel = 25, kAbsRel = 26;
inline constexpr std::size_t kLogCount = 27, kLog2 = 28;
// Percentage errors below each of the marks (see ModelTerms::marks).
inline constexpr std::size_t kMarkCount = 6;
inline constexpr std::size_t kBelowMark = 29;
// Consecutive usable pairs within the stretch: count, observed change d and its square, E^2 of
// the later row, squared derivative error.
inline constexpr std::size_t kChanges = 35, kChange = 36, kChange2 = 37, kPersistence = 38,
                             kDerivative = 39;
// Changes of sign between the non-zero errors of the stretch.
inline constexpr std::size_t kTransitions = 40;
// (41 is always 0: an even count of sums is added two at a time.)
inline constexpr std::size_t kSums = 42;
// Maxima: -min P and max P over usable modelled values, max |E| over the pairs, -min d and
// max d over the consecutive pairs (-inf: none).
inline constexpr std::size_t kNegLow = 42, kHigh = 43, kMaxAbsE = 44, kNegLowChange = 45,
                             kHighChange = 46;
inline constexpr std::size_t kMaxima = 5;
// The first and last non-zero sign of E in the stretch (0: none).
inline constexpr std::size_t kFirstSign = 47, kLastSign = 48;
inline constexpr std::size_t kBlockTerms = 50;  // even: each block's terms 16-byte aligned
// The observed series' table: its own sums, then -min O and max O.
inline constexpr std::size_t kObservedNegLow = 7, kObservedHigh = 8;
inline constexpr std::size_t kObservedTerms = 9;

// A model's table of every candidate block's terms is laid out in tiles of kTileTerms terms:
// tile j holds terms kTileTerms * j onwards of the first candidate, then of the second, and so
// on, so that the blocks of resample after resample are gathered from one tile's few hundred
// kilobytes at a time. The first kSumTiles tiles hold sums only; the next holds the last sums,
// the maxima and the first sign.
inline constexpr std::size_t kTileTerms = 8;
inline constexpr std::size_t kTiles = (kBlockTerms + kTileTerms - 1) / kTileTerms;
inline constexpr std::size_t kSumTiles = kSums / kTileTerms;
static_assert(kSums % kTileTerms == 2 && kSums + kMaxima <= (kSumTiles + 1) * kTileTerms);
// Each candidate's part of a tile a cache line of its own.
inline constexpr std::size_t kTileAlignment = kTileTerms * sizeof(double);
template <class T>
struct TileAllocator {
  using value_type = T;
  TileAllocator() = default;
  template <class U>
  TileAllocator(const TileAllocator<U>&) {}  // NOLINT: converting, as allocators are
  T* allocate(std::size_t n) {
    return static_cast<T*>(::operator new (n * sizeof(T), std::align_val_t{kTileAlignment}));
  }
  void deallocate(T* p, std::size_t) { ::operator delete (p, std::align_val_t{kTileAlignment}); }
  bool operator==(const TileAllocator&) const { return true; }
};
using TiledTable = std::vector<double, TileAllocator<double>>;
// Where term k of candidate c of `candidates` lies in a tiled table.
inline std::size_t TiledAt(std::size_t candidates, std::size_t c, std::size_t k) {
  return ((k / kTileTerms) * candidates + c) * kTileTerms + k % kTileTerms;
}
}  // namespace term

// What the terms are taken over: the record's rows (a series shorter than the record reads as
// missing beyond its end) under the series rule.
struct TermInputs {
  std::span<const double> observed;
  std::span<const double> modelled;  // empty for the observed series' own table
  const SeriesRule& rule;
  std::int64_t rows = 0;
  double observed_centre = 0;  // a
  double modelled_centre = 0;
};

// The mean of a series' usable values over the record's rows (0 when none): a centre.
double CentreOf(std::span<const double> x, const SeriesRule& rule, std::int64_t rows);

// Room for working out the terms of one table, kept from one model to the next so that the
// pages are touched once.
struct TermScratch {
  std::vector<double> prefix;
  std::vector<int> next_sign, last_sign;
  std::vector<signed char> sign;
  std::vector<double> low, high, abs_e, lows, highs, max_abs_e, from_start, to_end;
  std::vector<double> change_low, change_high, change_lows, change_highs;
};

// The terms of the observed series over every candidate block of `plan`, kObservedTerms each.
void ObservedBlockTerms(const TermInputs& in, const BlockPlan& plan, std::vector<double>& table,
                        TermScratch& scratch);

// The terms of the observed series over rows [start, start + length), added to `acc`.
void AddObservedRows(const TermInputs& in, std::int64_t start, std::int64_t length, double* acc);

// A model's terms over every candidate block (a tiled table, see term::TiledAt), and over any
// stretch of rows.
class ModelTerms {
 public:
  // `marks`: ascending percentage errors that split the model's percentage errors.
  ModelTerms(const TermInputs& in, const std::array<double, term::kMarkCount>& marks);

  void Blocks(const BlockPlan& plan, term::TiledTable& table, TermScratch& scratch) const;
  // The terms of rows [start, start + length) as one stretch, into `block` (kBlockTerms).
  void RowTerms(std::int64_t start, std::int64_t length, double* block) const;

 private:
  void AddRow(std::int64_t i, double* sums) const;
  void AddStep(std::int64_t i, double* sums) const;  // rows i - 1 and i
  bool Pair(std::int64_t i) const;
  int Sign(std::int64_t i) const;

  TermInputs in_;
  std::array<double, term::kMarkCount> marks_;
};

void EmptyTerms(std::span<double> acc, std::size_t sums, std::size_t maxima);

// The deviation sums about `mean` of `count` values from the sums of (x - centre)^k.
CentralSums Recentred(double count, double d1, double d2, double d3, double d4, double mean,
                      double centre);

// True when no sum of any term over `rows` rows of these series can overflow: the resampled
// sums may then be added in any order.
bool TermsStayFinite(std::span<const double> observed,
                     const std::vector<std::span<const double>>& models, const SeriesRule& rule,
                     std::int64_t rows);

}  // namespace quelvaris
