#include "reports/machine_figures.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "engine/error_stats.h"
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
    group.figures.push_back({row.key, row.file_label, row.is_count,
                             [&row](const RunFigures& run, int column) -> FigureValue {
                               const AnalysisSession& session = run.session;
                               if (column == 1) {
                                 const SeriesStats& s = session.ObservedStats;
                                 return {row.observed(s), (s.undefined & row.figure) == 0};
                               }
                               const ModelledRecord& m =
                                   session.ModelledStats[static_cast<std::size_t>(column)];
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
    group.figures.push_back(
        {kErrorKeys[i].key, f.label, f.is_count,
         [field = f.field, bit](const RunFigures& run, int column) -> FigureValue {
           const ErrorStats& e = run.session.Errors[static_cast<std::size_t>(column)];
           return {e.*field, (e.undefined & bit) == 0};
         }});
  }
  return group;
}

FigureGroup ExtendedFigures() {
  FigureGroup group{"extended", "Extended Statistics", false, {}};
  for (const ExtendedStatDefinition& d : kExtendedStatDefinitions) {
    group.figures.push_back({d.key, std::string(d.label) + ": ", false,
                             [stat = d.stat](const RunFigures& run, int column) -> FigureValue {
                               const auto at = static_cast<std::size_t>(column - run.first);
                               if (column < run.first || at >= run.extended.size())
                                 return {};  // not computed
                               const ExtendedFigure& f = FigureOf(run.extended[at], stat);
                               return {f.value, f.defined};
                             }});
  }
  return group;
}

std::string ColumnName(const AnalysisSession& session, int column) {
  const std::string& named = session.names[static_cast<std::size_t>(column)];
  if (!named.empty()) return named;
  if (column == 1) return "Obs";
  std::string heading = report_rows::ModelHeading(column);
  heading.pop_back();  // the report's trailing blank
  return heading;
}

namespace {

void Collect(const RunFigures& run, const std::vector<FigureGroup>& groups, int column,
             ColumnFigures& out) {
  out.column = column;
  out.name = ColumnName(run.session, column);
  out.groups.resize(groups.size());
  for (std::size_t g = 0; g < groups.size(); ++g) {
    auto& values = out.groups[g];
    values.clear();
    for (const auto& figure : groups[g].figures) values.push_back(figure.value(run, column));
  }
}

}  // namespace

void CollectFigures(const RunFigures& run, double missing_code,
                    const std::vector<FigureGroup>& observed_groups,
                    const std::vector<FigureGroup>& model_groups, std::int16_t first,
                    std::int16_t last, FileFigures& out) {
  report_rows::CheckColumnRange(first, last);
  const AnalysisSession& session = run.session;
  out.has_figures = true;
  out.rows = session.counters.RowCount;
  // The missing observed values as the run's summary counts them: the counters hold the last
  // column's counts by now.
  const double* observed = session.table.Column(1);
  out.missing = static_cast<int>(std::count(observed, observed + out.rows, missing_code));
  Collect(run, observed_groups, 1, out.observed);
  out.models.resize(static_cast<std::size_t>(std::max(0, last - first + 1)));
  for (int c = first; c <= last; ++c) {
    Collect(run, model_groups, c, out.models[static_cast<std::size_t>(c - first)]);
  }
}

}  // namespace quelvaris
