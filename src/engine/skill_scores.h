#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "engine/evaluation.h"

namespace quelvaris {

// The figures a skill score is given for, with the value a perfect model has.
enum class SkillMeasure { Nse, Kge, Kge2009, Kge2012, Rmse };

struct SkillMeasureInfo {
  SkillMeasure measure;
  std::string_view key;  // as in the machine formats: nse_skill_mean, ...
  double perfect;
};

inline constexpr std::array<SkillMeasureInfo, 5> kSkillMeasures{{
    {SkillMeasure::Nse, "nse", 1},
    {SkillMeasure::Kge, "kge", 1},
    {SkillMeasure::Kge2009, "kge2009", 1},
    {SkillMeasure::Kge2012, "kge2012", 1},
    {SkillMeasure::Rmse, "rmse", 0},
}};

// A model's skill over a benchmark for one figure, and the benchmark's own figure.
struct Skill {
  double score = 0;
  bool defined = false;
  double benchmark = 0;
  bool benchmark_defined = false;
};

using SkillScores = std::array<Skill, kSkillMeasures.size()>;

// The figure S of one evaluated model for a measure: NSE is `CofE`, KGE the report's `KGE`,
// KGE 2009 and 2012 the extended figures. Nothing when it is undefined.
std::optional<double> SkillFigureOf(const ModelEvaluation& m, SkillMeasure measure);

// The skill score (S - S_b) / (S_perfect - S_b) of each measure (Schaefli and Gupta 2007 for
// NSE; Knoben et al. 2020), computed from the figures the evaluation gives the model and the
// benchmark. Undefined where either figure is, or where the benchmark is already perfect.
SkillScores SkillOf(const ModelEvaluation& model, const ModelEvaluation& benchmark);

}  // namespace quelvaris
