#include "engine/extended_stat_definitions.h"

namespace quelvaris {

// O is the observed and P the modelled value of a paired row; means, SDs, sums and orders are
// taken over the paired rows only. SDs are sample SDs (divisor n - 1).
// clang-format off
const std::array<ExtendedStatDefinition, kExtendedStatCount> kExtendedStatDefinitions{{
    {ExtendedStat::Kge2009, "kge2009", "KGE 2009",
     "1 - sqrt((r - 1)^2 + (alpha - 1)^2 + (beta - 1)^2)",
     "Gupta et al. 2009, J. Hydrol. 377, 80-91",
     "r, alpha or beta is undefined"},
    {ExtendedStat::Kge2009R, "kge2009_r", "KGE 2009 r",
     "Pearson r = sum((O - mean O)(P - mean P)) / sqrt(sum((O - mean O)^2) * sum((P - mean P)^2))",
     "Gupta et al. 2009, J. Hydrol. 377, 80-91",
     "O or P is constant"},
    {ExtendedStat::Kge2009Alpha, "kge2009_alpha", "KGE 2009 alpha",
     "sd P / sd O",
     "Gupta et al. 2009, J. Hydrol. 377, 80-91",
     "O is constant"},
    {ExtendedStat::Kge2009Beta, "kge2009_beta", "KGE 2009 beta",
     "mean P / mean O",
     "Gupta et al. 2009, J. Hydrol. 377, 80-91",
     "mean O = 0"},
    {ExtendedStat::Kge2012, "kge2012", "KGE 2012",
     "1 - sqrt((r - 1)^2 + (gamma - 1)^2 + (beta - 1)^2)",
     "Kling et al. 2012, J. Hydrol. 424-425, 264-277",
     "r, gamma or beta is undefined"},
    {ExtendedStat::Kge2012Gamma, "kge2012_gamma", "KGE 2012 gamma",
     "(sd P / mean P) / (sd O / mean O)",
     "Kling et al. 2012, J. Hydrol. 424-425, 264-277",
     "O is constant, or mean O or mean P is 0"},
    {ExtendedStat::Kge2021, "kge2021", "KGE 2021",
     "1 - sqrt((r - 1)^2 + (alpha - 1)^2 + beta2021^2)",
     "Tang et al. 2021, J. Climate 34, 6493-6511",
     "r or alpha is undefined"},
    {ExtendedStat::Kge2021Beta, "kge2021_beta", "KGE 2021 beta",
     "(mean P - mean O) / sd O",
     "Tang et al. 2021, J. Climate 34, 6493-6511",
     "O is constant"},
    {ExtendedStat::KgeNp, "kge_np", "KGE non-parametric",
     "1 - sqrt((rs - 1)^2 + (alpha_np - 1)^2 + (beta - 1)^2); rs Spearman's rank correlation "
     "(tied values share their mean rank); alpha_np = 1 - 0.5 * sum(|P(k) / (n mean P) - "
     "O(k) / (n mean O)|), O(k) and P(k) the k-th largest of each series",
     "Pool et al. 2018, Hydrol. Sci. J. 63, 1941-1953",
     "O or P is constant, or mean O or mean P is 0"},
    {ExtendedStat::NseLog, "nse_log", "NSE of log flows",
     "1 - sum((ln(P + e) - ln(O + e))^2) / sum((ln(O + e) - mean ln(O + e))^2), "
     "e = mean O / 100",
     "Pushpalatha et al. 2012, J. Hydrol. 420-421, 171-182",
     "O + e or P + e is 0 or less in a paired row, or O is constant"},
    {ExtendedStat::NseSqrt, "nse_sqrt", "NSE of square-root flows",
     "1 - sum((sqrt P - sqrt O)^2) / sum((sqrt O - mean sqrt O)^2)",
     "Pushpalatha et al. 2012, J. Hydrol. 420-421, 171-182",
     "O or P is negative in a paired row, or O is constant"},
    {ExtendedStat::NseInv, "nse_inv", "NSE of inverse flows",
     "1 - sum((1/(P + e) - 1/(O + e))^2) / sum((1/(O + e) - mean 1/(O + e))^2), "
     "e = mean O / 100",
     "Pushpalatha et al. 2012, J. Hydrol. 420-421, 171-182",
     "O + e or P + e is 0 or less in a paired row, or O is constant"},
    {ExtendedStat::Pbias, "pbias", "Percent bias",
     "100 * sum(P - O) / sum(O); positive when the model overestimates",
     "Gupta et al. 1999, J. Hydrol. Eng. 4, 135-143",
     "sum O = 0"},
    {ExtendedStat::Dr, "dr", "Refined index of agreement dr",
     "with A = sum(|P - O|) and B = 2 sum(|O - mean O|): 1 - A / B when A <= B, else B / A - 1",
     "Willmott et al. 2012, Int. J. Climatol. 32, 2088-2094",
     "A = B = 0 (a constant O reproduced exactly)"},
    {ExtendedStat::FdcFhv, "fdc_fhv", "FDC high-segment volume bias",
     "100 * sum(P(h) - O(h)) / sum(O(h)), h the flows of exceedance probability 2 % or less; "
     "the k-th largest of n flows stands at k / (n + 1)",
     "Yilmaz et al. 2008, Water Resour. Res. 44, W09417",
     "fewer than 49 paired rows (no flow at 2 % or less), or sum O(h) = 0"},
    {ExtendedStat::FdcFlv, "fdc_flv", "FDC low-segment volume bias",
     "-100 * (sum(ln P(l) - ln P(min)) - sum(ln O(l) - ln O(min))) / sum(ln O(l) - ln O(min)), "
     "l the flows of exceedance probability 70 % or more, k / (n + 1) for the k-th largest",
     "Yilmaz et al. 2008, Water Resour. Res. 44, W09417",
     "a low-segment flow of either series is 0 or less, or the observed low flows are all equal"},
    {ExtendedStat::FdcFms, "fdc_fms", "FDC mid-segment slope bias",
     "100 * ((ln P(20 %) - ln P(70 %)) - (ln O(20 %) - ln O(70 %))) / (ln O(20 %) - ln O(70 %)), "
     "the flows at 20 % and 70 % exceedance read linearly between neighbouring flows, "
     "k / (n + 1) for the k-th largest",
     "Yilmaz et al. 2008, Water Resour. Res. 44, W09417",
     "fewer than 4 paired rows, a flow at 20 % or 70 % is 0 or less, or O(20 %) = O(70 %)"},
}};
// clang-format on

}  // namespace quelvaris
