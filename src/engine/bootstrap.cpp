#include "engine/bootstrap.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/resample_figures.h"
#include "engine/resample_pairs.h"
#include "platform/strided_threads.h"

namespace quelvaris {

namespace {

constexpr double kUndefined = std::numeric_limits<double>::quiet_NaN();

// The figures of one model on one resample, in the order of ModelIntervals; NaN where a figure
// is undefined.
double BasicValue(const SeriesStats& s, std::size_t i) {
  if (s.undefined & (1u << i)) return kUndefined;
  switch (i) {
    case 0:
      return s.Mean;
    case 1:
      return s.SD;
    case 2:
      return s.Skew;
    case 3:
      return s.Kur;
    case 4:
      return s.Min;
    case 5:
      return s.Max;
    case 6:
      return static_cast<double>(s.POT);
    default:
      return static_cast<double>(s.OOB);
  }
}

void FiguresOf(const ModelEvaluation& m, bool extended, double* out) {
  for (std::size_t i = 0; i < kBasicFigureCount; ++i) *out++ = BasicValue(m.stats, i);
  for (std::size_t i = 0; i < kErrorStatFields.size(); ++i) {
    const bool defined = (m.errors.undefined & (std::uint32_t{1} << i)) == 0;
    *out++ = defined ? m.errors.*kErrorStatFields[i].field : kUndefined;
  }
  if (extended) {
    for (const ExtendedFigure& f : m.extended) *out++ = f.defined ? f.value : kUndefined;
  }
}

std::size_t FigureCount(bool extended) {
  return kBasicFigureCount + kErrorStatFields.size() + (extended ? kExtendedStatCount : 0);
}

// One thread's room: the resample's series, laid out once and refilled for every resample, or
// its runs of rows and the pairs made of them.
struct Gathered {
  std::vector<std::vector<double>> series;  // observed first, then each model
  std::vector<std::span<const double>> models;
  std::vector<int> chosen;
  std::vector<RowRun> runs;
  RecordPairs::Room pairs;
  ExtendedRoom extended;
};

// The rows of the chosen blocks in the order laid down, the last block cut as Gather cuts it.
void RunsOf(const BlockPlan& plan, Gathered& g) {
  g.runs.clear();
  std::int64_t left = plan.rows;
  for (std::size_t b = 0; b < g.chosen.size() && left > 0; ++b) {
    const Block& block = plan.candidates[static_cast<std::size_t>(g.chosen[b])];
    const std::int64_t take = std::min(block.length, left);
    left -= take;
    g.runs.push_back({block.start, take});
  }
}

// Lays the chosen blocks of every series end to end, a missing-data row between two blocks,
// the last block cut so that the resample has as many rows of the record as the record. A model
// shorter than the observed series reads as missing beyond its end, as the figures treat it.
void Gather(const BlockPlan& plan, std::span<const double> observed,
            const std::vector<std::span<const double>>& models, double missing_code, Gathered& g) {
  const std::size_t count = models.size() + 1;
  g.series.resize(count);
  g.models.resize(models.size());
  for (std::size_t k = 0; k < count; ++k) {
    const std::span<const double> from = k == 0 ? observed : models[k - 1];
    std::vector<double>& to = g.series[k];
    to.clear();
    std::int64_t left = plan.rows;
    for (std::size_t b = 0; b < g.chosen.size() && left > 0; ++b) {
      const Block& block = plan.candidates[static_cast<std::size_t>(g.chosen[b])];
      if (b > 0) to.push_back(missing_code);
      const std::int64_t take = std::min(block.length, left);
      left -= take;
      const auto size = static_cast<std::int64_t>(from.size());
      const std::int64_t end = std::min(block.start + take, size);
      if (block.start < end) to.insert(to.end(), from.begin() + block.start, from.begin() + end);
      for (std::int64_t i = std::max(block.start, end); i < block.start + take; ++i) {
        to.push_back(missing_code);
      }
    }
    if (k > 0) g.models[k - 1] = g.series[k];
  }
}

// Which jackknife groups each resample drew from: one bit per group in each resample's row
// while the resamples are drawn (each thread marks the rows of its own resamples), then, once
// Seal is called, one bit per resample in each group's row, so that the walks that leave out
// one group read a few cache lines of its own.
class GroupsDrawn {
 public:
  GroupsDrawn(int resamples, int groups)
      : resamples_(static_cast<std::size_t>(resamples)),
        groups_(static_cast<std::size_t>(groups)),
        words_((groups_ + 63) / 64),
        bits_(resamples_ * words_) {}
  void Mark(int resample, int group) {
    const auto g = static_cast<std::size_t>(group);
    bits_[static_cast<std::size_t>(resample) * words_ + g / 64] |= std::uint64_t{1} << (g % 64);
  }
  void Seal() {
    const std::size_t words = (resamples_ + 63) / 64;
    by_group_.assign(groups_ * words, 0);
    for (std::size_t r = 0; r < resamples_; ++r) {
      for (std::size_t g = 0; g < groups_; ++g) {
        const std::uint64_t bit = (bits_[r * words_ + g / 64] >> (g % 64)) & 1;
        by_group_[g * words + r / 64] |= bit << (r % 64);
      }
    }
    group_words_ = words;
  }
  bool Drew(int resample, int group) const {  // after Seal
    const auto r = static_cast<std::size_t>(resample);
    return (by_group_[static_cast<std::size_t>(group) * group_words_ + r / 64] >> (r % 64)) & 1;
  }

 private:
  std::size_t resamples_, groups_;
  std::size_t words_;  // of a resample's row
  std::vector<std::uint64_t> bits_;
  std::size_t group_words_ = 0;  // of a group's row
  std::vector<std::uint64_t> by_group_;
};

// Runs body(i, t) for i = 0 .. count - 1 on `threads` threads (t = 0 .. threads - 1, the
// calling thread being 0), each taking the next i in turn. The first exception a body raises is
// raised again once every thread is done.
template <typename Body>
void InParallel(int count, int threads, const Body& body) {
  std::atomic<int> next{0};
  std::exception_ptr failure;
  std::mutex failure_mutex;
  const auto work = [&](int t) {
    try {
      for (int i = next++; i < count; i = next++) body(i, t);
    } catch (...) {
      std::lock_guard lock(failure_mutex);
      if (!failure) failure = std::current_exception();
      next = count;
    }
  };
  {
    // A thread the system refuses leaves its items to the others.
    HelperThreads pool;  // waited for at the end of this block
    StartThreads(
        1, static_cast<std::size_t>(std::max(threads, 1)),
        [&](std::size_t t) { work(static_cast<int>(t)); }, pool);
    work(0);
  }
  if (failure) std::rethrow_exception(failure);
}

// Where PercentileOfSorted reads a list of `m` values: the entry at `below` and the one after
// it (none when `below` is the last), and how far between them.
struct PercentilePlace {
  std::size_t below = 0;
  bool last = false;
  double fraction = 0;
  PercentilePlace(std::size_t m, double p) {
    const double h = static_cast<double>(m - 1) * p;
    below = static_cast<std::size_t>(std::floor(h));
    last = below + 1 >= m;
    fraction = h - static_cast<double>(below);
  }
};

// PercentileOfSorted of the values of `keyed` (value and resample, all distinct) in ascending
// order at `low_p` and at a higher `high_p`, the entries read put in their places instead of
// the whole list sorted: the higher ones selected among those above the lower.
std::pair<double, double> PercentilesOfKeyed(std::vector<std::pair<double, int>>& keyed,
                                             double low_p, double high_p) {
  auto from = keyed.begin();
  const auto at_place = [&](double p) {
    const PercentilePlace at(keyed.size(), p);
    if (at.last) return std::max_element(from, keyed.end())->first;
    const auto here = keyed.begin() + static_cast<std::ptrdiff_t>(at.below);
    std::nth_element(from, here, keyed.end());
    from = here;
    const double low = here->first;
    const double high = std::min_element(here + 1, keyed.end())->first;
    return low + at.fraction * (high - low);
  };
  const double low = at_place(low_p);
  return {low, at_place(high_p)};
}

// PercentileOfSorted of the `m` values at `order` (indices of resamples, ascending by value)
// that `keep` keeps: the two entries it reads found in one walk from the nearer end.
template <typename Keep>
double PercentileOfKept(std::span<const double> values, std::span<const int> order,
                        const Keep& keep, std::size_t m, double p) {
  const PercentilePlace at(m, p);
  const std::size_t n = order.size();
  const auto value = [&](int r) { return values[static_cast<std::size_t>(r)]; };
  if (at.last) {
    for (std::size_t i = n; i-- > 0;) {
      if (keep(order[i])) return value(order[i]);
    }
    return value(order.back());  // not reached: m > 0 are kept
  }
  // The kept values of ranks below and below + 1 (from 0, ascending). Whether an entry is kept
  // is a coin toss to a branch predictor: it is counted, not branched on; only the two
  // entries read are branched on (`slot` wraps past them while fewer are seen).
  std::array<double, 2> read{};
  std::size_t seen = 0;
  if (p <= 0.5) {
    for (std::size_t i = 0; i < n && seen < at.below + 2; ++i) {
      const bool kept = keep(order[i]);
      const std::size_t slot = seen - at.below;
      if (kept && slot < 2) read[slot] = value(order[i]);
      seen += kept;
    }
  } else {
    const std::size_t upper = m - 2 - at.below;  // kept entries above rank below + 1
    for (std::size_t i = n; i-- > 0 && seen < upper + 2;) {
      const bool kept = keep(order[i]);
      const std::size_t slot = seen - upper;
      if (kept && slot < 2) read[1 - slot] = value(order[i]);
      seen += kept;
    }
  }
  return read[0] + at.fraction * (read[1] - read[0]);
}

// The interval of one figure from its values on every resample (NaN: undefined there).
// `absent[g]` counts the resamples that drew nothing from jackknife group g. Interval ends are
// taken only from at least 2 values and at least half of the resamples they may come from.
Interval Summarise(std::span<const double> values, double confidence,
                   const std::vector<int>* absent, const GroupsDrawn* drawn) {
  Interval out;
  const auto resamples = static_cast<int>(values.size());
  // Equal values in the order of their resamples, so that the order is the same everywhere
  // (value and resample together: the same order as a stable sort of the resamples by value).
  std::vector<std::pair<double, int>> keyed;
  keyed.reserve(values.size());
  for (int r = 0; r < resamples; ++r) {
    const double v = values[static_cast<std::size_t>(r)];
    if (!std::isnan(v)) keyed.emplace_back(v, r);
  }
  const auto defined = static_cast<int>(keyed.size());
  out.defined_share = resamples > 0 ? static_cast<double>(defined) / resamples : 0;
  if (defined < 2 || 2 * defined < resamples) return out;
  const double low_p = (1 - confidence) / 2;
  const double high_p = (1 + confidence) / 2;
  std::vector<int> order;
  if (absent == nullptr) {
    std::tie(out.low, out.high) = PercentilesOfKeyed(keyed, low_p, high_p);
  } else {
    std::sort(keyed.begin(), keyed.end());
    for (const auto& [v, r] : keyed) order.push_back(r);
    out.low = PercentileOfKept(
        values, order, [](int) { return true; }, keyed.size(), low_p);
    out.high = PercentileOfKept(
        values, order, [](int) { return true; }, keyed.size(), high_p);
  }
  double sum = 0;
  for (double v : values) {
    if (!std::isnan(v)) sum += v;
  }
  const double mean = sum / defined;
  double dev2 = 0;
  for (double v : values) {
    if (!std::isnan(v)) dev2 += (v - mean) * (v - mean);
  }
  out.se = std::sqrt(dev2 / (defined - 1));
  out.defined = std::isfinite(out.se);
  if (!out.defined || absent == nullptr) return out;

  // Jackknife after bootstrap (Efron 1992): the interval ends again from the resamples that
  // left out each group in turn, and the jackknife's standard error of those ends.
  const auto groups = static_cast<int>(absent->size());
  std::vector<double> lows, highs;
  for (int g = 0; g < groups; ++g) {
    const auto keep = [&](int r) { return !drawn->Drew(r, g); };
    const int kept_of = (*absent)[static_cast<std::size_t>(g)];
    // Every resample that left the group out has the figure, or count the ones that do.
    int m = kept_of;
    if (defined < resamples) m = static_cast<int>(std::count_if(order.begin(), order.end(), keep));
    if (m < 2 || 2 * m < kept_of) return out;
    const auto kept = static_cast<std::size_t>(m);
    lows.push_back(PercentileOfKept(values, order, keep, kept, low_p));
    highs.push_back(PercentileOfKept(values, order, keep, kept, high_p));
  }
  if (groups < 2) return out;
  const auto jackknife_se = [groups](const std::vector<double>& ends) {
    double total = 0;
    for (double v : ends) total += v;
    const double mean_end = total / groups;
    double s = 0;
    for (double v : ends) s += (v - mean_end) * (v - mean_end);
    return std::sqrt(s * (groups - 1) / groups);
  };
  out.jackknife_se_low = jackknife_se(lows);
  out.jackknife_se_high = jackknife_se(highs);
  out.jackknife_defined =
      std::isfinite(out.jackknife_se_low) && std::isfinite(out.jackknife_se_high);
  return out;
}

}  // namespace

double PercentileOfSorted(std::span<const double> sorted, double p) {
  const double h = static_cast<double>(sorted.size() - 1) * p;
  const auto below = static_cast<std::size_t>(std::floor(h));
  if (below + 1 >= sorted.size()) return sorted.back();
  const double fraction = h - static_cast<double>(below);
  return sorted[below] + fraction * (sorted[below + 1] - sorted[below]);
}

BootstrapResult BootstrapIntervals(std::span<const double> observed,
                                   const std::vector<std::span<const double>>& models,
                                   const EvaluationOptions& options, const BlockPlan& plan,
                                   const BootstrapOptions& boot, const BootstrapControl& control) {
  BootstrapResult result;
  result.resamples = boot.resamples;
  result.confidence = boot.confidence;
  result.seed = boot.seed;
  result.block_length = plan.block_length;
  result.blocks = plan.draws;
  result.jackknife = boot.jackknife;
  result.models.resize(models.size());
  for (ModelIntervals& m : result.models) {
    if (options.extended) m.extended.resize(kExtendedStatCount);
  }
  const int resamples = boot.resamples;
  if (!plan.Resamples() || resamples < 1 || models.empty()) return result;
  if (boot.extended_only && !options.extended) return result;

  const std::size_t figures = FigureCount(options.extended);
  const std::size_t columns = figures * models.size();
  const auto n = static_cast<std::size_t>(resamples);
  // values[(model * figures + figure) * resamples + r]: every figure's resamples side by side.
  std::vector<double> values(columns * n, kUndefined);
  GroupsDrawn drawn(boot.jackknife ? resamples : 0, plan.groups);
  const auto put = [&](std::size_t m, std::size_t f, int r, double v) {
    values[(m * figures + f) * n + static_cast<std::size_t>(r)] = v;
  };

  int threads =
      boot.threads > 0 ? boot.threads : static_cast<int>(std::thread::hardware_concurrency());
  threads = std::clamp(threads, 1, resamples);
  const auto cancelled = [&] { return control.cancel != nullptr && control.cancel->load(); };

  // Progress in steps of one model's figures on one resample (the extended figures of all the
  // models on a resample being as many steps as there are models), told per resample's worth.
  // The sums of every candidate block take about 790 bytes a row for each thread (the table
  // and the running sums it is made from): past about 3 GB a thread, the resamples are laid out.
  constexpr std::int64_t kMaxSummedRows = std::int64_t{1} << 22;
  const bool sums_path = !boot.extended_only && plan.rows <= kMaxSummedRows &&
                         TermsStayFinite(observed, models, options.rule, plan.rows);
  const auto per_resample = static_cast<std::int64_t>(models.size()) *
                            ((sums_path ? 1 : 0) + (options.extended || !sums_path ? 1 : 0));
  std::atomic<std::int64_t> steps{0};
  std::mutex progress_mutex;
  const auto advance = [&](std::int64_t by) {
    const std::int64_t before = steps.fetch_add(by);
    const std::int64_t after = before + by;
    if (!control.progress || after / per_resample == before / per_resample) return;
    std::lock_guard lock(progress_mutex);
    control.progress(static_cast<int>(after / per_resample), resamples);
  };
  const auto mark_groups = [&](int r, const std::vector<int>& chosen) {
    if (!boot.jackknife) return;
    for (int c : chosen) drawn.Mark(r, plan.group[static_cast<std::size_t>(c)]);
  };

  if (sums_path) {
    // The basic and error figures from the blocks' sums, the resamples taken in runs whose
    // row counts and sums fit in memory: first each model's sums over every resample of the
    // run, then each resample's figures of every model.
    ObservedResamples shared(observed, options, plan);
    std::vector<ResampleScratch> scratch(static_cast<std::size_t>(threads));
    shared.Tables(scratch.front().terms);
    constexpr std::int64_t kCountsPerRun = std::int64_t{1} << 24;
    constexpr std::int64_t kSumsPerRun = std::int64_t{1} << 23;
    const auto model_count = static_cast<std::int64_t>(models.size());
    const std::int64_t fits =
        std::min(kCountsPerRun / std::max<std::int64_t>(plan.rows, 1),
                 kSumsPerRun / (model_count * static_cast<std::int64_t>(term::kBlockTerms)));
    const int run = static_cast<int>(std::clamp<std::int64_t>(fits, 1, resamples));
    std::vector<ResampleRows> rows;
    std::vector<std::optional<ModelResamples>> of_model(models.size());
    // Each model's sums are laid out by its own thread (ModelResamples::Sum writes them all):
    // left uncleared here, so that their pages are first touched there, on every core.
    std::unique_ptr<double[]> sums;
    std::size_t sums_size = 0;
    for (int first = 0; first < resamples && !cancelled(); first += run) {
      const int count = std::min(run, resamples - first);
      const auto size = static_cast<std::size_t>(count);
      rows.resize(size);
      std::vector<std::vector<int>> chosen(static_cast<std::size_t>(threads));
      InParallel(count, threads, [&](int i, int t) {
        const int r = first + i;
        std::mt19937_64 gen = ResampleGenerator(boot.seed, static_cast<std::uint64_t>(r));
        std::vector<int>& c = chosen[static_cast<std::size_t>(t)];
        DrawBlocks(plan, gen, c);
        mark_groups(r, c);
        shared.PrepareSums(c, rows[static_cast<std::size_t>(i)]);
      });
      shared.WindowOver(rows);
      const std::size_t wanted = models.size() * size * term::kBlockTerms;
      if (wanted > sums_size) {
        sums = std::make_unique_for_overwrite<double[]>(wanted);
        sums_size = wanted;
      }
      InParallel(static_cast<int>(models.size()), threads, [&](int model, int t) {
        if (cancelled()) return;
        const auto m = static_cast<std::size_t>(model);
        ResampleScratch& room = scratch[static_cast<std::size_t>(t)];
        of_model[m].emplace(shared, models[m], room);
        const std::size_t span = size * term::kBlockTerms;
        of_model[m]->Sum(rows, std::span<double>(sums.get() + m * span, span), room);
      });
      InParallel(count, threads, [&](int i, int t) {
        if (cancelled()) return;
        const ResampleRows& resample = rows[static_cast<std::size_t>(i)];
        ResampleScratch& room = scratch[static_cast<std::size_t>(t)];
        if (resample.figures) {
          shared.CountRows(resample, room.times);
          shared.CorrectedRows(resample, room.times, room.corrected);
        }
        const RowCounts counts{room.times, room.corrected};
        std::array<double, kBasicFigureCount + kErrorStatFields.size() + kExtendedStatCount> here;
        for (std::size_t m = 0; m < models.size() && resample.figures; ++m) {
          const double* acc = &sums[(m * size + static_cast<std::size_t>(i)) * term::kBlockTerms];
          FiguresOf(of_model[m]->Figures(acc, resample, counts), false, here.data());
          for (std::size_t f = 0; f < kBasicFigureCount + kErrorStatFields.size(); ++f) {
            put(m, f, first + i, here[f]);
          }
        }
        advance(model_count);
      });
    }
  }

  // The figures that do not follow from sums (the extended ones) from the pairs of each
  // resample, made from the record's own orders; every figure of a record whose sums could
  // overflow from the resamples laid out row by row.
  if (!sums_path || options.extended) {
    std::vector<Gathered> rooms(static_cast<std::size_t>(threads));
    const bool extended_alone = boot.extended_only || sums_path;
    std::optional<RecordPairs> record;
    if (extended_alone) record.emplace(observed, models, options.rule);
    InParallel(resamples, threads, [&](int r, int t) {
      if (cancelled()) return;
      Gathered* g = &rooms[static_cast<std::size_t>(t)];
      std::mt19937_64 gen = ResampleGenerator(boot.seed, static_cast<std::uint64_t>(r));
      DrawBlocks(plan, gen, g->chosen);
      if (!sums_path) mark_groups(r, g->chosen);
      if (extended_alone) {
        RunsOf(plan, *g);
        record->Begin(g->runs, g->pairs);
        g->extended.NewRun();
        for (std::size_t m = 0; m < models.size(); ++m) {
          record->Pairs(m, g->pairs);
          const ExtendedStats x = ExtendedStatsOfPairs(g->pairs.series, g->extended);
          for (std::size_t f = 0; f < kExtendedStatCount; ++f) {
            put(m, figures - kExtendedStatCount + f, r, x[f].defined ? x[f].value : kUndefined);
          }
        }
      } else {
        Gather(plan, observed, models, options.rule.missing_code, *g);
        const Evaluation ev = Evaluate(g->series.front(), g->models, options);
        std::array<double, kBasicFigureCount + kErrorStatFields.size() + kExtendedStatCount> here;
        for (std::size_t m = 0; m < ev.models.size(); ++m) {
          FiguresOf(ev.models[m], options.extended, here.data());
          for (std::size_t f = 0; f < figures; ++f) put(m, f, r, here[f]);
        }
      }
      advance(static_cast<std::int64_t>(models.size()));
    });
  }
  if (cancelled()) {
    result.cancelled = true;
    result.models.clear();
    return result;
  }

  std::vector<int> absent;
  if (boot.jackknife) {
    drawn.Seal();
    absent.resize(static_cast<std::size_t>(plan.groups));
    for (int r = 0; r < resamples; ++r) {
      for (int g = 0; g < plan.groups; ++g)
        absent[static_cast<std::size_t>(g)] += !drawn.Drew(r, g);
    }
  }
  InParallel(static_cast<int>(columns), threads, [&](int column, int) {
    const auto c = static_cast<std::size_t>(column);
    const std::span<const double> of_column(values.data() + c * n, n);
    const Interval interval =
        Summarise(of_column, boot.confidence, boot.jackknife ? &absent : nullptr, &drawn);
    ModelIntervals& m = result.models[c / figures];
    std::size_t f = c % figures;
    if (f < kBasicFigureCount) {
      m.basic[f] = interval;
      return;
    }
    f -= kBasicFigureCount;
    if (f < kErrorStatFields.size()) {
      m.errors[f] = interval;
      return;
    }
    m.extended[f - kErrorStatFields.size()] = interval;
  });
  return result;
}

}  // namespace quelvaris
