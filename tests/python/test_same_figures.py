"""evaluate() gives the batch command's figures, equal as doubles, under every json key."""

import glob
import json
import os

import numpy as np
import pytest

import quelvaris
from conftest import EXAMPLES, cli_json, read_table, write_table

# (file, comma, header)
EXAMPLE_FILES = [(p, False, False) for p in sorted(glob.glob(os.path.join(EXAMPLES, "*.txt")))]
EXAMPLE_FILES += [(os.path.join(EXAMPLES, "comma_header_missing.csv"), True, True)]
EXAMPLE_FILES += [(p, False, True) for p in sorted(glob.glob(os.path.join(EXAMPLES, "gauges",
                                                                          "*.txt")))]

# (batch command words, evaluate() keywords)
OPTIONS = [
    ([], {}),
    (["--extended"], {"extended": True}),
    (["--threshold", "20", "--aic-bic", "--parameters", "3.7", "--points", "40"],
     {"threshold": 20, "aic_bic": (3.7, 40)}),
    (["--apply-bounds", "--lower", "5", "--upper", "40", "--extended"],
     {"bounds": (5, 40), "extended": True}),
]


def assert_same_record(result, record):
    """Every figure of the json record, observed and modelled, equal as doubles."""
    mine = result.to_dict()
    assert mine["rows"] == record["rows"] and mine["missing"] == record["missing"]
    assert mine["observed"]["basic"] == record["observed"]["basic"]
    assert len(mine["models"]) == len(record["models"])
    for m, (got, want) in enumerate(zip(mine["models"], record["models"])):
        assert got.keys() == want.keys()
        for group in ("basic", "errors", "extended"):
            if group not in want:
                continue
            assert list(got[group]) == list(want[group]), group  # same keys, same order
            for key, value in want[group].items():
                array_value = result[key][m]
                if value is None:
                    assert np.isnan(array_value) and got[group][key] is None, key
                else:
                    assert got[group][key] == value and array_value == value, (key, m)


@pytest.mark.parametrize("words, keywords", OPTIONS)
@pytest.mark.parametrize("path, comma, header", EXAMPLE_FILES)
def test_examples_as_the_batch_command(cli, path, comma, header, words, keywords):
    table = read_table(path, comma, header)
    columns = table.shape[1]
    extra = (["--comma"] if comma else []) + (["--header"] if header else [])
    record = cli_json(cli, path, columns, *extra, *words)
    result = quelvaris.evaluate(table[:, 0], table[:, 1:], missing=-999,
                                names=[m["name"] for m in record["models"]], **keywords)
    assert_same_record(result, record)


@pytest.mark.parametrize("seed", range(6))
def test_random_series_with_gaps_as_the_batch_command(cli, tmp_path, seed):
    rng = np.random.default_rng(seed)
    rows = int(rng.integers(50, 3000))
    models = int(rng.integers(1, 8))
    observed = np.exp(rng.normal(2, 1, rows))
    if seed == 0:
        observed[:] = 3.5  # constant: the correlations and efficiencies are undefined
    table = [observed] + [observed * rng.uniform(0.5, 1.5) + rng.normal(0, 2, rows)
                          for _ in range(models)]
    for column in table:
        column[rng.random(rows) < rng.uniform(0, 0.3)] = np.nan
    path = tmp_path / "random.txt"
    write_table(path, table)
    for words, keywords in OPTIONS:
        if "bounds" in keywords and seed == 0:
            # Every observed value out of bounds: the batch command's message, as ValueError.
            message = cli(path, "--columns", models + 1, "--all", *words, fails=True)
            with pytest.raises(ValueError) as stop:
                quelvaris.evaluate(table[0], table[1:], **keywords)
            assert "Error Message: " + str(stop.value) + "\n" == message
            continue
        record = cli_json(cli, path, models + 1, *words)
        assert_same_record(quelvaris.evaluate(table[0], table[1:], **keywords), record)


@pytest.mark.parametrize("path", sorted(glob.glob(os.path.join(EXAMPLES, "*.*")) +
                                        glob.glob(os.path.join(EXAMPLES, "gauges", "*.txt"))))
def test_read_files_score_as_the_batch_command(cli, path):
    table = quelvaris.read(path)
    record = json.loads(cli(path, "--all", "--format", "json", "--extended"))["files"][0]
    assert table.names == [m["name"] for m in record["models"]]
    assert_same_record(table.evaluate(extended=True), record)
    with pytest.raises(ValueError, match="Cannot open the data file"):
        quelvaris.read(path + ".absent")
