#include "ui/plot/plot_data.h"

#include <algorithm>
#include <functional>

#include "engine/analysis_session.h"
#include "engine/batch_reader.h"
#include "engine/series_figures.h"
#include "settings/global_settings.h"

namespace quelvaris::ui {

const std::vector<double>& PlotData::Values(int column) const {
  static const std::vector<double> none;
  const auto it = std::find(columns.begin(), columns.end(), column);
  return it == columns.end() ? none : values[static_cast<std::size_t>(it - columns.begin())];
}

QString PlotData::Name(int column) const {
  const auto it = std::find(columns.begin(), columns.end(), column);
  const auto at = static_cast<std::size_t>(it - columns.begin());
  return at < names.size() ? names[at] : QString();
}

PlotData MakePlotData(const AnalysisSession& session, const GlobalSettings& settings,
                      bool apply_bounds, std::int16_t first, std::int16_t last) {
  PlotData data;
  data.missing_code = settings.GlobalMissingCode;
  data.apply_bounds = apply_bounds;
  data.lower = session.request.LowerBound;
  data.upper = session.request.UpperBound;
  data.threshold = session.request.Threshold;
  const int rows = std::clamp<int>(session.counters.RowCount, 0, DataTable::kRows);
  auto add = [&](int column) {
    if (column < 1 || column > DataTable::kCols) return;
    const double* cells = session.table.Column(column);
    data.columns.push_back(column);
    data.values.emplace_back(cells, cells + rows);
    data.names.push_back(QString::fromStdString(session.names[static_cast<std::size_t>(column)]));
  };
  add(1);
  for (int c = std::max<int>(first, 2); c <= last; ++c) add(c);
  return data;
}

PlotData MakePlotData(BatchTable&& table, const SeriesRule& rule) {
  PlotData data;
  data.missing_code = rule.missing_code;
  data.apply_bounds = rule.apply_bounds;
  data.lower = rule.lower;
  data.upper = rule.upper;
  data.threshold = rule.threshold;
  const auto name = [&table](int column) {
    const auto at = static_cast<std::size_t>(column - 1);
    return at < table.names.size() ? QString::fromStdString(table.names[at]) : QString();
  };
  data.columns.push_back(1);
  data.values.push_back(std::move(table.observed));
  data.names.push_back(name(table.observed_column));
  for (std::size_t m = 0; m < table.models.size(); ++m) {
    // The plots take column 1 for the observed series: a model that stands in the file's
    // first column goes by the observed series' column instead.
    int column = table.model_columns[m];
    if (column == 1) column = table.observed_column;
    data.columns.push_back(column);
    data.values.push_back(std::move(table.models[m]));
    data.names.push_back(name(table.model_columns[m]));
  }
  return data;
}

void KeepRows(PlotData& data, std::size_t first, std::size_t count) {
  const auto keep = [first, count](std::vector<double>& v) {
    const std::size_t from = std::min(first, v.size());
    const std::size_t to = std::min(from + count, v.size());
    v.erase(v.begin() + static_cast<std::ptrdiff_t>(to), v.end());
    v.erase(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(from));
  };
  for (std::vector<double>& v : data.values) keep(v);
  keep(data.times);
}

namespace {

// The usual step between the stamps: their median step, 0 without stamps.
double UsualStep(const std::vector<double>& times) {
  if (times.size() < 2) return 0;
  std::vector<double> steps(times.size() - 1);
  for (std::size_t i = 1; i < times.size(); ++i) steps[i - 1] = times[i] - times[i - 1];
  const auto middle = steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2);
  std::nth_element(steps.begin(), middle, steps.end());
  return *middle;
}

}  // namespace

std::vector<std::vector<QPointF>> ContiguousRuns(const PlotData& data, int column) {
  const std::vector<double>& v = data.Values(column);
  const double usual = UsualStep(data.times);
  std::vector<std::vector<QPointF>> runs;
  bool in_run = false;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (data.Missing(v[i])) {
      in_run = false;
      continue;
    }
    if (in_run && usual > 0 && i < data.times.size() &&
        data.times[i] - data.times[i - 1] > 2 * usual) {
      in_run = false;
    }
    if (!in_run) runs.emplace_back();
    in_run = true;
    runs.back().emplace_back(data.X(i), v[i]);
  }
  return runs;
}

std::vector<QPointF> OutOfBoundsPoints(const PlotData& data, int column) {
  std::vector<QPointF> points;
  const std::vector<double>& v = data.Values(column);
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (!data.Missing(v[i]) && data.OutOfBounds(v[i])) {
      points.emplace_back(data.X(i), v[i]);
    }
  }
  return points;
}

std::vector<QPointF> UsablePairs(const PlotData& data, int column) {
  std::vector<QPointF> pairs;
  const std::vector<double>& o = data.Values(1);
  const std::vector<double>& p = data.Values(column);
  const std::size_t rows = std::min(o.size(), p.size());
  pairs.reserve(rows);
  for (std::size_t i = 0; i < rows; ++i) {
    if (data.Usable(o[i]) && data.Usable(p[i])) pairs.emplace_back(o[i], p[i]);
  }
  return pairs;
}

std::vector<QPointF> DurationCurve(const PlotData& data, int column) {
  std::vector<double> usable;
  for (double v : data.Values(column)) {
    if (data.Usable(v)) usable.push_back(v);
  }
  std::sort(usable.begin(), usable.end(), std::greater<>());
  std::vector<QPointF> curve;
  curve.reserve(usable.size());
  const double n = static_cast<double>(usable.size());
  for (std::size_t m = 0; m < usable.size(); ++m) {
    curve.emplace_back(100.0 * static_cast<double>(m + 1) / (n + 1), usable[m]);
  }
  return curve;
}

std::vector<QPointF> Decimate(const std::vector<QPointF>& points, double x_min, double x_max,
                              int buckets) {
  auto by_x = [](const QPointF& p, double x) { return p.x() < x; };
  auto x_below = [](double x, const QPointF& p) { return x < p.x(); };
  auto begin = std::lower_bound(points.begin(), points.end(), x_min, by_x);
  auto end = std::upper_bound(points.begin(), points.end(), x_max, x_below);
  if (begin != points.begin()) --begin;
  if (end != points.end()) ++end;
  const long n = end - begin;
  buckets = std::max(buckets, 1);
  if (n <= 2L * buckets) return {begin, end};

  std::vector<QPointF> kept;
  kept.reserve(2 * static_cast<std::size_t>(buckets) + 2);
  for (long b = 0; b < buckets; ++b) {
    auto first = begin + b * n / buckets;
    auto last = begin + (b + 1) * n / buckets;
    if (first == last) continue;
    auto [lo, hi] = std::minmax_element(
        first, last, [](const QPointF& a, const QPointF& c) { return a.y() < c.y(); });
    if (lo == hi) {
      kept.push_back(*lo);
    } else if (lo < hi) {
      kept.push_back(*lo);
      kept.push_back(*hi);
    } else {
      kept.push_back(*hi);
      kept.push_back(*lo);
    }
  }
  // The ends stay where they are, so the line starts and stops at the true first and last row.
  if (kept.front() != *begin) kept.insert(kept.begin(), *begin);
  if (kept.back() != *(end - 1)) kept.push_back(*(end - 1));
  return kept;
}

}  // namespace quelvaris::ui
