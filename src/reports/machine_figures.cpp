#include "reports/machine_figures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string_view>

#include "engine/error_stats.h"
#include "reports/interval_figures.h"
#include "reports/report_rows.h"

namespace quelvaris {

namespace {

struct ErrorKey {
  double ErrorStats::*field;
  const char* key;
};

// The machine names of the error statistics, in report order. Short, lower case and stable:
// scripts select columns by them.
// clang-format off
constexpr std::array<ErrorKey, 26> kErrorKeys{{
    {&ErrorStats::RMSE, "rmse"},     {&ErrorStats::MSRE, "msre"},
    {&ErrorStats::RSqr, "r2"},       {&ErrorStats::CorrelCoeff, "r"},
    {&ErrorStats::CofE, "nse"},      {&ErrorStats::IoAd, "d"},
    {&ErrorStats::AME, "ame"},       {&ErrorStats::PDIFF, "pdiff"},
    {&ErrorStats::MAE, "mae"},       {&ErrorStats::ME, "me"},
    {&ErrorStats::R4MS4E, "r4ms4e"}, {&ErrorStats::NSC, "nsc"},
    {&ErrorStats::RAE, "rae"},       {&ErrorStats::PEP, "pep"},
    {&ErrorStats::MARE, "mare"},     {&ErrorStats::MRE, "mre"},
    {&ErrorStats::RVE, "rve"},       {&ErrorStats::PI, "pi"},
    {&ErrorStats::MSLE, "msle"},     {&ErrorStats::MSDE, "msde"},
    {&ErrorStats::VE, "ve"},         {&ErrorStats::KGE, "kge"},
    {&ErrorStats::MdAPE, "mdape"},   {&ErrorStats::IRMSE, "irmse"},
    {&ErrorStats::AIC, "aic"},       {&ErrorStats::BIC, "bic"},
}};
// clang-format on

constexpr bool KeysFollowTheReport() {
  for (std::size_t i = 0; i < kErrorKeys.size(); ++i) {
    if (kErrorKeys[i].field != kErrorStatFields[i].field) return false;
  }
  return kErrorKeys.size() == kErrorStatFields.size();
}
static_assert(KeysFollowTheReport(), "one machine name per error statistic, in report order");

}  // namespace

FigureGroup BasicFigures() {
  FigureGroup group{"basic", "Basic Statistics", true, {}};
  for (const auto& row : report_rows::kBasicStatRows) {
    group.figures.push_back(
        {row.key, row.file_label, row.is_count, [&row](const FigureSource& src) -> FigureValue {
           if (src.observed != nullptr) {
             const SeriesStats& s = *src.observed;
             return {row.observed(s), (s.undefined & row.figure) == 0};
           }
           const ModelledRecord& m = *src.modelled;
           return {m.*row.modelled, (m.undefined & row.figure) == 0};
         }});
  }
  return group;
}

FigureGroup ErrorFigures(bool aic_bic) {
  FigureGroup group{"errors", "Error Statistics", true, {}};
  const std::size_t count = aic_bic ? kErrorStatFields.size() : kErrorStatFields.size() - 2;
  for (std::size_t i = 0; i < count; ++i) {
    const ErrorStatField& f = kErrorStatFields[i];
    const std::uint32_t bit = std::uint32_t{1} << i;
    group.figures.push_back({kErrorKeys[i].key, f.label, f.is_count,
                             [field = f.field, bit](const FigureSource& src) -> FigureValue {
                               const ErrorStats& e = *src.errors;
                               return {e.*field, (e.undefined & bit) == 0};
                             }});
  }
  return group;
}

FigureGroup ExtendedFigures() {
  FigureGroup group{"extended", "Extended Statistics", false, {}};
  for (const ExtendedStatDefinition& d : kExtendedStatDefinitions) {
    group.figures.push_back({d.key, std::string(d.label) + ": ", false,
                             [stat = d.stat](const FigureSource& src) -> FigureValue {
                               if (src.extended == nullptr) return {};  // not computed
                               const ExtendedFigure& f = FigureOf(*src.extended, stat);
                               return {f.value, f.defined};
                             }});
  }
  return group;
}

std::string DefaultColumnName(int column) {
  if (column == 1) return "Obs";
  std::string heading = report_rows::ModelHeading(column);
  heading.pop_back();  // the report's trailing blank
  return heading;
}

std::string ColumnName(const AnalysisSession& session, int column) {
  const std::string& named = session.names[static_cast<std::size_t>(column)];
  return named.empty() ? DefaultColumnName(column) : named;
}

RunFigures SessionFigures(const AnalysisSession& session, double missing_code,
                          std::span<const ExtendedStats> extended, std::int16_t first,
                          std::int16_t last) {
  report_rows::CheckColumnRange(first, last);
  RunFigures run;
  run.rows = session.counters.RowCount;
  // The missing observed values as the run's summary counts them: the counters hold the last
  // column's counts by now.
  const double* observed = session.table.Column(1);
  run.missing = std::count(observed, observed + run.rows, missing_code);
  run.observed = {1, ColumnName(session, 1), {.observed = &session.ObservedStats}};
  for (int c = first; c <= last; ++c) {
    const auto at = static_cast<std::size_t>(c - first);
    const auto col = static_cast<std::size_t>(c);
    run.models.push_back({c,
                          ColumnName(session, c),
                          {.modelled = &session.ModelledStats[col],
                           .errors = &session.Errors[col],
                           .extended = at < extended.size() ? &extended[at] : nullptr}});
  }
  return run;
}

void FigureLists::Fill(const std::vector<FigureGroup>& groups, const FigureSource* source) {
  if (groups.size() > kMaxGroups) throw std::length_error("too many groups of figures");
  std::size_t count = 0;
  for (const FigureGroup& group : groups) count += group.figures.size();
  values_.clear();
  values_.reserve(count);  // one allocation, not one per doubling
  for (std::size_t g = 0; g < groups.size(); ++g) {
    for (const auto& figure : groups[g].figures) {
      const FigureValue v = source != nullptr ? figure.value(*source) : FigureValue{};
      values_.push_back(
          v.defined && std::isfinite(v.value) ? v.value : std::numeric_limits<double>::quiet_NaN());
    }
    ends_[g] = static_cast<std::uint32_t>(values_.size());
  }
  groups_ = groups.size();
}

namespace {

void Collect(const RunColumn& column, const std::vector<FigureGroup>& groups, ColumnFigures& out) {
  out.column = column.column;
  out.name = column.name;
  out.groups.Fill(groups, &column.source);
  CollectIntervals(column.source.intervals, groups, out.intervals);
}

}  // namespace

void CollectFigures(const RunFigures& run, const std::vector<FigureGroup>& observed_groups,
                    const std::vector<FigureGroup>& model_groups, FileFigures& out) {
  out.has_figures = true;
  out.rows = run.rows;
  out.missing = run.missing;
  Collect(run.observed, observed_groups, out.observed);
  out.models.resize(run.models.size());
  for (std::size_t i = 0; i < run.models.size(); ++i) {
    Collect(run.models[i], model_groups, out.models[i]);
  }
}

}  // namespace quelvaris
