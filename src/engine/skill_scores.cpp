#include "engine/skill_scores.h"

#include <cmath>

namespace quelvaris {

std::optional<double> SkillFigureOf(const ModelEvaluation& m, SkillMeasure measure) {
  const auto error = [&m](double ErrorStats::*field) -> std::optional<double> {
    if (m.errors.undefined & ErrorStatBit(field)) return std::nullopt;
    return m.errors.*field;
  };
  const auto extended = [&m](ExtendedStat stat) -> std::optional<double> {
    const ExtendedFigure& f = FigureOf(m.extended, stat);
    if (!f.defined) return std::nullopt;
    return f.value;
  };
  switch (measure) {
    case SkillMeasure::Nse:
      return error(&ErrorStats::CofE);
    case SkillMeasure::Kge:
      return error(&ErrorStats::KGE);
    case SkillMeasure::Kge2009:
      return extended(ExtendedStat::Kge2009);
    case SkillMeasure::Kge2012:
      return extended(ExtendedStat::Kge2012);
    case SkillMeasure::Rmse:
      return error(&ErrorStats::RMSE);
  }
  return std::nullopt;
}

SkillScores SkillOf(const ModelEvaluation& model, const ModelEvaluation& benchmark) {
  SkillScores scores{};
  for (std::size_t i = 0; i < kSkillMeasures.size(); ++i) {
    const SkillMeasureInfo& info = kSkillMeasures[i];
    const std::optional<double> s = SkillFigureOf(model, info.measure);
    const std::optional<double> b = SkillFigureOf(benchmark, info.measure);
    Skill& skill = scores[i];
    if (b) {
      skill.benchmark = *b;
      skill.benchmark_defined = true;
    }
    const double room = info.perfect - (b ? *b : 0);
    if (s && b && room != 0) {
      skill.score = (*s - *b) / room;
      skill.defined = std::isfinite(skill.score);
    }
  }
  return scores;
}

}  // namespace quelvaris
