#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quelvaris {

// The 26 error statistics of one modelled column, in report order. An undefined figure holds
// what the report shows for it (the missing-data code; the starting value for AME, NSC, ME
// and Correl Coeff) and has its bit set in `undefined`, so that no reader has to compare a
// figure with the code: a model whose RMSE is exactly the code is a model with that RMSE.
struct ErrorStats {
  double RMSE = 0;
  double MSRE = 0;
  double RSqr = 0;
  double CorrelCoeff = 0;
  double CofE = 0;
  double IoAd = 0;
  double AME = 0;
  double PDIFF = 0;
  double MAE = 0;
  double ME = 0;
  double R4MS4E = 0;
  double NSC = 0;  // a count
  double RAE = 0;
  double PEP = 0;
  double MARE = 0;
  double MRE = 0;
  double RVE = 0;
  double PI = 0;
  double MSLE = 0;
  double MSDE = 0;
  double VE = 0;
  double KGE = 0;
  double MdAPE = 0;
  double IRMSE = 0;
  double AIC = 0;
  double BIC = 0;
  std::uint32_t undefined = ~std::uint32_t{0};  // bit i: figure i of kErrorStatFields
};

// One record per modelled column, indexed by column number 2 to 30 (0 and 1 unused).
using ErrorTable = std::array<ErrorStats, 31>;

// The report's view of a figure: its label, where it lives, and whether it is a count.
struct ErrorStatField {
  const char* label;
  double ErrorStats::*field;
  bool is_count;
};

// Report order. The first six form "Main Error Statistics", the rest "Other Error Statistics";
// the last two (AIC, BIC) are reported only when asked for.
inline constexpr int kMainErrorStatCount = 6;
// clang-format off
inline constexpr std::array<ErrorStatField, 26> kErrorStatFields{{
    {"RMSE: ", &ErrorStats::RMSE, false},
    {"MSRE: ", &ErrorStats::MSRE, false},
    {"RSqr: ", &ErrorStats::RSqr, false},
    {"Correl Coeff: ", &ErrorStats::CorrelCoeff, false},
    {"CofE: ", &ErrorStats::CofE, false},
    {"IoA d: ", &ErrorStats::IoAd, false},
    {"AME: ", &ErrorStats::AME, false},
    {"PDIFF: ", &ErrorStats::PDIFF, false},
    {"MAE: ", &ErrorStats::MAE, false},
    {"ME: ", &ErrorStats::ME, false},
    {"R4MS4E: ", &ErrorStats::R4MS4E, false},
    {"NSC: ", &ErrorStats::NSC, true},
    {"RAE: ", &ErrorStats::RAE, false},
    {"PEP: ", &ErrorStats::PEP, false},
    {"MARE: ", &ErrorStats::MARE, false},
    {"MRE: ", &ErrorStats::MRE, false},
    {"RVE: ", &ErrorStats::RVE, false},
    {"PI: ", &ErrorStats::PI, false},
    {"MSLE: ", &ErrorStats::MSLE, false},
    {"MSDE: ", &ErrorStats::MSDE, false},
    {"VE: ", &ErrorStats::VE, false},
    {"KGE: ", &ErrorStats::KGE, false},
    {"MdAPE: ", &ErrorStats::MdAPE, false},
    {"IRMSE: ", &ErrorStats::IRMSE, false},
    {"AIC: ", &ErrorStats::AIC, false},
    {"BIC: ", &ErrorStats::BIC, false},
}};
// clang-format on

// The bit of a figure in ErrorStats::undefined.
constexpr std::uint32_t ErrorStatBit(double ErrorStats::*field) {
  for (std::size_t i = 0; i < kErrorStatFields.size(); ++i) {
    if (kErrorStatFields[i].field == field) return std::uint32_t{1} << i;
  }
  return 0;
}
static_assert(kErrorStatFields.size() <= 32, "one bit per figure in ErrorStats::undefined");

}  // namespace quelvaris
