#pragma once

#include <pybind11/pybind11.h>

#include "engine/bootstrap.h"
#include "engine/evaluation.h"
#include "engine/timed_scoring.h"

namespace quelvaris::python {

// What the Python layer reads of an evaluation: its counts, the observed series' basic
// figures by key, and each figure of the models as a numpy array (one value per model, NaN
// where undefined), under the batch command's machine keys and in its order:
//   {"rows", "missing", "out_of_bounds", "observed": {key: float},
//    "figures": {key: ndarray}, "groups": {"basic": [key...], "errors": [...], ...},
//    "counts": [key...], "faults": [(model index, message)...]}
// AIC and BIC are listed only with `aic_bic`, the extended figures only when computed. With
// `bootstrap`, also {"bootstrap": {"resamples", "confidence", "block", "blocks", "seed"},
//  "intervals": {key: {"low": ndarray, "high", "se", "defined_share"[, "jackknife_se_low",
//  "jackknife_se_high"]}}}.
pybind11::dict FiguresOf(const Evaluation& ev, bool aic_bic, bool extended,
                         const BootstrapResult* bootstrap = nullptr);

// The same of a time-aware evaluation, the figures those of the evaluation period (`rows` and
// `missing` those of the whole series), with
//   "evaluation": {"start", "end", "rows", "missing"},
//   "periods": [{"period", "start", "end", "rows", "missing", "observed", "figures",
//                "skill"}...],
//   "benchmarks": [name...], "skill": {benchmark: {measure: ndarray, "benchmark": {...}}}
// `models` counts the models (the evaluation's further columns are the benchmarks). With
// `bootstrap`, the "intervals" and "bootstrap" of FiguresOf, of the evaluation period's figures.
pybind11::dict TimedFiguresOf(const TimedFile& file, const std::vector<std::string>& benchmarks,
                              std::size_t models, std::int64_t rows, std::int64_t missing,
                              bool aic_bic, bool extended, const BootstrapResult* bootstrap);

}  // namespace quelvaris::python
