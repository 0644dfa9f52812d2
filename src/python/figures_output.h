#pragma once

#include <pybind11/pybind11.h>

#include "engine/evaluation.h"

namespace quelvaris::python {

// What the Python layer reads of an evaluation: its counts, the observed series' basic
// figures by key, and each figure of the models as a numpy array (one value per model, NaN
// where undefined), under the batch command's machine keys and in its order:
//   {"rows", "missing", "out_of_bounds", "observed": {key: float},
//    "figures": {key: ndarray}, "groups": {"basic": [key...], "errors": [...], ...},
//    "counts": [key...], "faults": [(model index, message)...]}
// AIC and BIC are listed only with `aic_bic`, the extended figures only when computed.
pybind11::dict FiguresOf(const Evaluation& ev, bool aic_bic, bool extended);

}  // namespace quelvaris::python
