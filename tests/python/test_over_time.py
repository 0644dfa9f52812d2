"""Scoring over time and intervals from Python: the batch command's json for the same options."""

import json
import os

import numpy as np
import pandas as pd
import pytest

import quelvaris
from conftest import EXAMPLES

DAILY = os.path.join(EXAMPLES, "over_time", "daily_30y.txt")
GAUGE = os.path.join(EXAMPLES, "gauges", "alder_creek.txt")

# (batch command words, evaluate() keywords)
TIMED = [
    (["--by", "water-year", "--benchmark", "monthly"],
     {"by": "water-year", "benchmark": "monthly"}),
    (["--from", "2000-01-01", "--to", "2009-12-31", "--skip", "30", "--by", "season-of-year",
      "--extended"],
     {"from_": "2000-01-01", "to": pd.Timestamp("2009-12-31").date(), "skip": 30,
      "by": "season-of-year", "extended": True}),
    (["--by", "month", "--from", "1995-01-01", "--to", "1996-12-31", "--benchmark", "mean",
      "--benchmark", "persistence", "--benchmark-from", "1990-10-01", "--benchmark-to",
      "1999-09-30"],
     {"by": "month", "from_": "1995-01-01", "to": "1996-12-31",
      "benchmark": ["mean", "persistence"], "benchmark_from": np.datetime64("1990-10-01"),
      "benchmark_to": "1999-09-30"}),
    (["--by", "year", "--benchmark", "smoothed", "--benchmark", "daily"],
     {"by": "year", "benchmark": ["smoothed", "daily"]}),
]


def without_columns(record):
    """A json record less its column numbers and the observed name, which arrays do not have."""
    record = json.loads(json.dumps(record))
    record.pop("file", None), record.pop("messages", None)
    for series in [record["observed"], *record["models"]]:
        series.pop("column")
    record["observed"].pop("name")
    return record


@pytest.mark.parametrize("words, keywords", TIMED)
def test_periods_and_skill_as_the_batch_command(cli, words, keywords):
    record = json.loads(cli(DAILY, "--time", "date", "--format", "json", *words))["files"][0]
    table = quelvaris.read(DAILY, time="date")
    result = table.evaluate(**keywords)
    assert without_columns(result.to_dict()) == without_columns(record)
    # The same from a DataFrame with a DatetimeIndex.
    frame = pd.read_csv(DAILY, sep="\t", index_col="date", parse_dates=True)
    models = frame.drop(columns=["obs"])
    arrays = quelvaris.evaluate(frame["obs"], models, time=frame.index, missing=-999, **keywords)
    assert without_columns(arrays.to_dict()) == without_columns(record)
    rows = arrays.to_pandas()  # the tsv's rows: the evaluation period, then each period
    first = record["models"][0]
    np.testing.assert_array_equal(
        rows.loc[first["name"]]["nse"].to_numpy(),
        [np.nan if p["errors"]["nse"] is None else p["errors"]["nse"]
         for p in [first, *first["periods"]]])
    assert len(rows) == len(record["models"]) * (len(first["periods"]) + 1)


# (batch command words, evaluate() keywords): each refused with the same message.
REFUSED = [
    (["--time", "date", "--by", "decade"], {"by": "decade"}),
    (["--time", "date", "--skip", "-1"], {"skip": -1}),
    (["--time", "date", "--from", "2001-01-01", "--to", "2000-12-31"],
     {"from_": "2001-01-01", "to": "2000-12-31"}),
    (["--time", "date", "--benchmark-from", "1991-01-01"], {"benchmark_from": "1991-01-01"}),
    (["--time", "date", "--benchmark", "mean", "--benchmark", "mean"],
     {"benchmark": ["mean", "mean"]}),
    (["--time", "date", "--from", "1.1.1991"], {"from_": "1.1.1991"}),
    (["--bootstrap", "0"], {"bootstrap": 0}),
    (["--bootstrap", "10", "--confidence", "1.5"], {"bootstrap": 10, "confidence": 1.5}),
    (["--bootstrap", "10", "--seed", "-1"], {"bootstrap": 10, "seed": -1}),
    (["--bootstrap", "10", "--block", "0"], {"bootstrap": 10, "block": 0}),
    (["--seed", "3"], {"seed": 3}),
    (["--bootstrap", "10", "--block", "year"], {"bootstrap": 10, "block": "year"}),
    (["--bootstrap", "10", "--block", "200"], {"bootstrap": 10, "block": 200}),
]


@pytest.mark.parametrize("words, keywords", REFUSED)
def test_refused_options_raise_the_batch_commands_message(cli, words, keywords):
    timed = "--time" in words
    said = cli(DAILY if timed else GAUGE, "--format", "json", *words, fails=True)
    table = quelvaris.read(DAILY, time="date") if timed else quelvaris.read(GAUGE)
    if timed:
        keywords = {**keywords, "time": table.times}
    with pytest.raises(ValueError) as refused:
        table.evaluate(**keywords)
    assert str(refused.value) in said


def test_time_options_need_a_time_column():
    table = quelvaris.read(DAILY, time="date")
    for keywords, message in [({"by": "year"}, r"--by needs a time column \(--time\)."),
                              ({"benchmark": "mean"}, "--benchmark needs a time column")]:
        with pytest.raises(ValueError, match=message):
            quelvaris.evaluate(table.observed, table.models, **keywords)
    # Too few values in the whole series stop before the stamps are read, as in the batch command.
    with pytest.raises(ValueError, match="Only 4 rows processed.\n1 missing observed values"):
        quelvaris.evaluate([1, np.nan, 3, 4], [1, 2, 3, 4], time=["x"] * 4, by="year")
    with pytest.raises(ValueError, match='^time: line 3: "1990-10-02" repeats the time stamp on '
                                         'line 2'):
        quelvaris.evaluate(table.observed[:5], table.models[0][:5], by="year",
                           time=["1990-10-01", "1990-10-02", "1990-10-02", "1990-10-03", "x"])


@pytest.mark.parametrize("words, keywords", [
    (["--bootstrap", "200", "--seed", "7"], {"bootstrap": 200, "seed": 7}),
    (["--bootstrap", "150", "--block", "30", "--confidence", "0.8", "--jackknife", "--extended"],
     {"bootstrap": 150, "block": 30, "confidence": 0.8, "jackknife": True, "extended": True}),
    (["--time", "date", "--from", "1995-01-01", "--by", "year", "--bootstrap", "60", "--block",
      "year"], {"time": True, "from_": "1995-01-01", "by": "year", "bootstrap": 60,
                "block": "year"}),
])
def test_intervals_as_the_batch_command_and_reproducible(cli, words, keywords):
    timed = "time" in keywords
    record = json.loads(cli(DAILY if timed else GAUGE, "--format", "json", *words))["files"][0]
    table = quelvaris.read(DAILY, time="date") if timed else quelvaris.read(GAUGE)
    if timed:
        keywords = {**keywords, "time": table.times}
    result = table.evaluate(**keywords)
    mine = result.to_dict()
    assert mine["bootstrap"] == record["bootstrap"]
    for got, want in zip(mine["models"], record["models"]):
        assert got["intervals"] == want["intervals"]
    again = table.evaluate(**keywords)
    other = table.evaluate(**{**keywords, "seed": 8})
    assert all(np.array_equal(again.intervals[k]["low"], result.intervals[k]["low"],
                              equal_nan=True) for k in result.intervals)
    assert not np.array_equal(other.intervals["nse"]["low"], result.intervals["nse"]["low"])
    frame = result.to_pandas()
    if timed:  # the evaluation period's rows carry the intervals
        frame = frame.xs("", level="period")
    assert list(frame["nse_high"]) == list(result.intervals["nse"]["high"])
