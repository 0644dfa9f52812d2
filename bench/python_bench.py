#!/usr/bin/env python3
"""Speed of the Python module beside the engine and beside plain numpy, in one run.

    PYTHONPATH=build/default/python python3 bench/python_bench.py build/default/bench/evaluate_bench

On 10,000 rows x 29 models with about 1 % gaps (NaN here, -999 for the engine):
  - quelvaris.evaluate() against evaluate_bench's Evaluate on the same values (no parse): the
    module's conversions and copies are the difference;
  - against vectorised numpy code for three figures only (NSE, KGE 2009, RMSE over the
    paired rows), written here, checked against the module's figures first.
Then the same series scored over time (by water year with a benchmark) and with intervals.
Times are CPU times of the process (the median of the repetitions), so that other work on a
shared machine does not count; wall times are shown beside them.
"""

import json
import os
import subprocess
import sys
import tempfile
import time
from concurrent.futures import ThreadPoolExecutor

import numpy as np

import quelvaris

ROWS, MODELS, REPEATS = 10_000, 29, 15


def series():
    rng = np.random.default_rng(2024)
    t = np.arange(ROWS)
    observed = 20 + 15 * np.sin(t / 58.0) + rng.gamma(1.5, 3, ROWS)
    models = observed[:, None] * rng.uniform(0.8, 1.2, MODELS) + rng.normal(0, 3, (ROWS, MODELS))
    observed[rng.random(ROWS) < 0.01] = np.nan
    models[rng.random((ROWS, MODELS)) < 0.01] = np.nan
    return observed, models


def numpy_three(observed, models):
    """NSE, KGE 2009 and RMSE of every model over its paired rows, vectorised. The NSE's
    denominator takes the observed mean over every observed value, as the program's does."""
    o = np.broadcast_to(observed[:, None], models.shape)
    paired = ~(np.isnan(o) | np.isnan(models))
    n = paired.sum(axis=0)
    o0 = np.where(paired, o, 0.0)
    s0 = np.where(paired, models, 0.0)
    mean_o = o0.sum(axis=0) / n
    mean_s = s0.sum(axis=0) / n
    do = np.where(paired, o - mean_o, 0.0)
    ds = np.where(paired, models - mean_s, 0.0)
    sse = ((s0 - o0) ** 2).sum(axis=0)
    sso = (do**2).sum(axis=0)
    sss = (ds**2).sum(axis=0)
    rmse = np.sqrt(sse / n)
    nse = 1 - sse / (np.where(paired, o - np.nanmean(observed), 0.0) ** 2).sum(axis=0)
    r = (do * ds).sum(axis=0) / np.sqrt(sso * sss)
    alpha = np.sqrt(sss / sso)
    kge = 1 - np.sqrt((r - 1) ** 2 + (alpha - 1) ** 2 + (mean_s / mean_o - 1) ** 2)
    return nse, kge, rmse


def timed(call):
    cpu, wall = [], []
    call()  # warm
    for _ in range(REPEATS):
        c, w = time.process_time(), time.perf_counter()
        call()
        cpu.append(time.process_time() - c)
        wall.append(time.perf_counter() - w)
    return float(np.median(cpu)) * 1e3, float(np.median(wall)) * 1e3


def engine_times(program, observed, models):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "series.bin")
        table = np.column_stack([observed, models])
        np.where(np.isnan(table), -999.0, table).T.astype(np.float64).tofile(path)
        out = subprocess.run([program, "--benchmark_format=json", "--benchmark_repetitions=15",
                              "--benchmark_report_aggregates_only=true", path, str(ROWS)],
                             capture_output=True, text=True, check=True).stdout
    times = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            scale = {"ms": 1.0, "us": 1e-3, "ns": 1e-6}[b["time_unit"]]
            times[b["run_name"]] = (b["cpu_time"] * scale, b["real_time"] * scale)
    return times


def main():
    program = sys.argv[1] if len(sys.argv) > 1 else "build/default/bench/evaluate_bench"
    observed, models = series()
    result = quelvaris.evaluate(observed, models, extended=True)
    nse, kge, rmse = numpy_three(observed, models)
    for key, mine in (("nse", nse), ("kge2009", kge), ("rmse", rmse)):
        np.testing.assert_allclose(mine, result[key], rtol=1e-9, err_msg=key)

    engine = engine_times(program, observed, models)
    rows = [
        ("engine Evaluate, basic + 26 (C++)", engine["BM_Evaluate"]),
        ("quelvaris.evaluate(), basic + 26", timed(lambda: quelvaris.evaluate(observed, models))),
        ("engine Evaluate, + extended (C++)", engine["BM_EvaluateExtended"]),
        ("quelvaris.evaluate(extended=True)",
         timed(lambda: quelvaris.evaluate(observed, models, extended=True))),
        ("numpy: NSE, KGE 2009, RMSE only", timed(lambda: numpy_three(observed, models))),
    ]
    print(f"{ROWS} rows x {MODELS} models, ~1 % gaps; median of {REPEATS}, milliseconds")
    print(f"{'':38} {'CPU':>8} {'wall':>8}")
    for label, (cpu, wall) in rows:
        print(f"{label:38} {cpu:8.2f} {wall:8.2f}")
    basic_ratio = rows[1][1][0] / rows[0][1][0]
    extended_ratio = rows[3][1][0] / rows[2][1][0]
    calls = 8
    one = timed(lambda: [quelvaris.evaluate(observed, models) for _ in range(calls)])[1]
    with ThreadPoolExecutor(2) as pool:
        two = timed(lambda: list(pool.map(lambda _: quelvaris.evaluate(observed, models),
                                          range(calls))))[1]
    print(f"{calls} calls, wall: {one:.1f} in one thread, {two:.1f} over two threads "
          f"({one / two:.2f}x; the machine has {os.cpu_count()} cores)")
    print(f"module / engine (CPU): {basic_ratio:.3f} basic + 26, {extended_ratio:.3f} extended")
    # Over time (a daily stamp per row) and with intervals: the engine's work dominates.
    stamps = np.datetime64("1990-10-01") + np.arange(ROWS)
    for label, options in (("time=, by='water-year', benchmark='monthly'",
                             {"time": stamps, "by": "water-year", "benchmark": "monthly"}),
                           ("bootstrap=100 (all cores)", {"bootstrap": 100})):
        cpu, wall = timed(lambda: quelvaris.evaluate(observed, models, **options))
        print(f"{label:44} CPU {cpu:8.1f}, wall {wall:8.1f}")
    print(f"module (all {len(result.keys())} figures) / numpy (3 figures), CPU: "
          f"{rows[3][1][0] / rows[4][1][0]:.2f}; basic + 26 only: "
          f"{rows[1][1][0] / rows[4][1][0]:.2f}")


if __name__ == "__main__":
    main()
