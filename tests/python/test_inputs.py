"""The input forms evaluate() takes, the errors it raises, and calls from many threads."""

import threading

import numpy as np
import pandas as pd
import pytest

import quelvaris

RNG = np.random.default_rng(7)
OBSERVED = np.exp(RNG.normal(2, 0.8, 400))
MODELS = np.column_stack([OBSERVED * 1.1, OBSERVED + RNG.normal(0, 1, 400), OBSERVED[::-1]])
MODELS[::17, 1] = np.nan
NAMES = ["a", "b", "c"]


def figures(result):
    return {k: result[k] for k in result}


def test_every_input_form_gives_the_same_figures():
    want = figures(quelvaris.evaluate(OBSERVED, MODELS, names=NAMES, extended=True))
    xr = pytest.importorskip("xarray")
    frame = pd.DataFrame(MODELS, columns=NAMES)
    cases = {
        "list of arrays": ([MODELS[:, i] for i in range(3)], NAMES),
        "dict": (dict(zip(NAMES, MODELS.T)), None),
        "DataFrame": (frame, None),
        "list of Series": ([frame[n] for n in NAMES], None),
        "Fortran order": (np.asfortranarray(MODELS), NAMES),
        "float32 exact": (MODELS.astype(np.float32).astype(np.float64), NAMES),
        "DataArray": (xr.DataArray(MODELS, dims=("time", "model"),
                                   coords={"model": NAMES}), None),
        "DataArray model first": (xr.DataArray(MODELS.T, dims=("model", "time"),
                                               coords={"model": NAMES}), None),
    }
    observed_forms = [OBSERVED.tolist(), pd.Series(OBSERVED),
                      xr.DataArray(OBSERVED, dims=("time",))]
    for label, (models, names) in cases.items():
        observed = observed_forms[len(label) % 3] if "DataArray" not in label else observed_forms[2]
        result = quelvaris.evaluate(observed, models, names=names, extended=True)
        assert result.models == NAMES, label
        mine = figures(result)
        if label == "float32 exact":
            want32 = figures(quelvaris.evaluate(OBSERVED, MODELS.astype(np.float32),
                                                names=NAMES, extended=True))
            assert mine.keys() == want32.keys()
            continue
        assert mine.keys() == want.keys(), label
        for key in want:
            np.testing.assert_array_equal(mine[key], want[key], err_msg=f"{label}: {key}")
    frame_out = quelvaris.evaluate(OBSERVED, frame).to_pandas()
    assert list(frame_out.index) == NAMES and frame_out.loc["b", "nse"] == want["nse"][1]


def test_missing_values_nan_and_numeric_code():
    with_code = np.where(np.isnan(MODELS), -999.0, MODELS)
    nan = quelvaris.evaluate(OBSERVED, MODELS)
    code = quelvaris.evaluate(OBSERVED, with_code, missing=-999)
    for key in nan:
        np.testing.assert_array_equal(nan[key], code[key], err_msg=key)
    # Without a code, -999 is a value like any other: the figures count it.
    as_value = quelvaris.evaluate(OBSERVED, with_code)
    assert as_value["min"][1] == -999 and nan["min"][1] > 0
    # Data that take every usual code still keep NaN apart from their values.
    crowded = OBSERVED.copy()
    crowded[:4] = [-999, -np.finfo(float).max, np.finfo(float).max, 0]
    gaps = crowded.copy()
    gaps[10:20] = np.nan
    with pytest.warns(RuntimeWarning, match="Overflow has occurred."):
        result = quelvaris.evaluate(gaps, crowded)  # the sums of squares overflow
    assert result.missing == 10 and result.observed["min"] == -np.finfo(float).max
    assert result.messages[0].startswith("observed: Sorry - an error has occurred")
    assert np.isnan(result["rmse"][0])


@pytest.mark.parametrize("call, error, message", [
    (lambda: quelvaris.evaluate(OBSERVED, MODELS[:-1]), ValueError,
     "Line 400 has fewer than 4 fields"),
    (lambda: quelvaris.evaluate(OBSERVED[:-5], MODELS), ValueError,
     "Line 396 has fewer than 4 fields"),
    (lambda: quelvaris.evaluate([], [[]]), ValueError,
     "Insufficient data to make calculations.\nOnly 0 rows processed.\n"
     "0 missing observed values noted."),
    (lambda: quelvaris.evaluate(np.full(10, np.nan), np.ones(10)), ValueError,
     "Only 10 rows processed.\n10 missing observed values noted."),
    (lambda: quelvaris.evaluate(3.0, [3.0]), ValueError, "observed must be one-dimensional"),
    (lambda: quelvaris.evaluate(OBSERVED, np.ones((400, 2, 2))), ValueError, "2-D array"),
    (lambda: quelvaris.evaluate(OBSERVED, []), ValueError, "At least one model"),
    (lambda: quelvaris.evaluate(OBSERVED, MODELS, names=["x"]), ValueError, "1 names for 3"),
    (lambda: quelvaris.evaluate(["1.5", "2"], [1, 2]), TypeError,
     'Line 1, column 1: "1.5" is not a number.'),
    (lambda: quelvaris.evaluate(OBSERVED, np.array([1.0, "x"] * 200, dtype=object)), TypeError,
     'Line 2, column 2: "x" is not a number.'),
    (lambda: quelvaris.evaluate(OBSERVED > 3, MODELS), TypeError, "bool values are not numbers"),
    (lambda: quelvaris.evaluate(OBSERVED * 1j, MODELS), TypeError, "complex128 values"),
    (lambda: quelvaris.evaluate(np.arange(400, dtype=np.int64) + 2**60, MODELS), TypeError,
     "2**53"),
    (lambda: quelvaris.evaluate(OBSERVED, MODELS, bounds=(5, 5)), ValueError,
     "Lower bound must be less than upper bound."),
    (lambda: quelvaris.evaluate(OBSERVED, MODELS, bounds=5), TypeError, "pair of numbers"),
    (lambda: quelvaris.evaluate(OBSERVED, MODELS, threshold="high"), TypeError,
     "Threshold must be a value."),
    (lambda: quelvaris.evaluate(OBSERVED, MODELS, aic_bic=(1, 30)), ValueError,
     "Parameters must be a positive integer greater than 2."),
    (lambda: quelvaris.evaluate(OBSERVED, MODELS, aic_bic=(3, np.nan)), ValueError,
     "Data points must be a value."),
    (lambda: quelvaris.evaluate(OBSERVED, MODELS)["kge2009"], KeyError, "no figure"),
])
def test_wrong_input_raises_with_its_message(call, error, message):
    with pytest.raises(error) as raised:
        call()
    assert message in (raised.value.args[0] if raised.value.args else "")


def test_the_compiled_layer_takes_float64_vectors_only():
    for observed, models in [(OBSERVED.astype(np.float32), [OBSERVED]), (OBSERVED, [[1.0, 2.0]]),
                             (OBSERVED.reshape(20, 20), [OBSERVED])]:
        with pytest.raises(TypeError):
            quelvaris._core.evaluate(observed, models)


def test_threads_at_once_get_each_their_own_figures():
    inputs = [(OBSERVED * s, MODELS * s) for s in (1.0, 2.0, 0.5, 3.0)]
    want = [quelvaris.evaluate(o, m, extended=True)["kge2012"] for o, m in inputs]
    got = {}

    def work(i):
        for _ in range(30):
            r = quelvaris.evaluate(*inputs[i % 4], extended=True)["kge2012"]
            if not np.array_equal(r, want[i % 4], equal_nan=True):
                got[i] = r
                return
        got.setdefault(i, None)

    threads = [threading.Thread(target=work, args=(i,)) for i in range(8)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert got == {i: None for i in range(8)}


def test_the_docstring_examples_hold():
    import doctest

    failed, attempted = doctest.testmod(quelvaris)
    assert attempted > 0 and failed == 0
