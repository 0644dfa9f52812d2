"""Many gauges on a Dask cluster: the rows of one DataFrame equal the batch command's csv."""

import csv
import functools
import io
import os

import numpy as np
import pandas as pd
import pytest

from conftest import write_table

dask_bag = pytest.importorskip("dask.bag")
distributed = pytest.importorskip("distributed")

GAUGES = 50
# The Debian Dask talks to tornado through a call that tornado has deprecated.
pytestmark = pytest.mark.filterwarnings("ignore:make_current is deprecated:DeprecationWarning")


def score_gauge(path, **options):
    """One gauge file as rows of figures, one per model."""
    import quelvaris

    result = quelvaris.read(path).evaluate(extended=True, **options)
    frame = result.to_pandas().reset_index()
    frame.insert(0, "file", path)
    return frame


def gauge_files(folder):
    rng = np.random.default_rng(21)
    paths = []
    for g in range(GAUGES):
        rows = int(rng.integers(60, 400))
        rain = rng.gamma(0.4, 8, rows)
        observed = np.convolve(rain, np.exp(-np.arange(30) / 6), mode="full")[:rows] + 0.3
        models = [observed * rng.uniform(0.8, 1.2), np.roll(observed, 1),
                  pd.Series(observed).rolling(5, min_periods=1).mean().to_numpy()]
        table = [np.round(c, 3) for c in [observed, *models]]
        for column in table:
            column[rng.random(rows) < 0.03] = np.nan
        path = os.path.join(folder, f"gauge_{g:02}.txt")
        write_table(path, table, header=["obs", "bucket", "lagged", "smoothed"])
        paths.append(path)
    return paths


def test_gauges_on_a_local_cluster_as_the_batch_command(cli, tmp_path):
    paths = gauge_files(str(tmp_path))
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, \
            distributed.Client(cluster):
        frames = dask_bag.from_sequence(paths, npartitions=10).map(
            functools.partial(score_gauge, bootstrap=40, seed=5)).compute()
    scores = pd.concat(frames, ignore_index=True)

    text = cli(*paths, "--columns", 4, "--all", "--header", "--extended", "--format", "csv",
               "--bootstrap", 40, "--seed", 5)
    rows = list(csv.DictReader(io.StringIO(text)))
    assert len(rows) == len(scores) == 3 * GAUGES
    keys = [k for k in scores.columns if k not in ("file", "name")]
    assert set(keys) <= set(rows[0])
    for row, (_, mine) in zip(rows, scores.iterrows()):
        assert (row["file"], row["name"]) == (mine["file"], mine["name"])
        for key in keys:
            want = float(row[key]) if row[key] != "" else np.nan
            assert want == mine[key] or (np.isnan(want) and np.isnan(mine[key])), (row["file"],
                                                                                    key)
