#!/usr/bin/env python3
"""Scoring over time against the same rows scored alone, on
examples/over_time/daily_30y.txt.

    time_periods_test.py QUELVARIS_CLI EXAMPLES_DIR

Every figure of a period (and of an evaluation period) must be the figure of the same rows
written to a file of their own and scored without --time; the skill scores must be what the
two figures give, with the benchmarks and their NSE and RMSE worked out here from the file.
"""

import csv
import io
import json
import os
import subprocess
import sys
import tempfile
import unittest

import jsonschema

CLI, EXAMPLES = sys.argv[1], sys.argv[2]
del sys.argv[1:]
DATA = os.path.join(EXAMPLES, "over_time", "daily_30y.txt")
with open(os.path.join(EXAMPLES, "..", "docs", "batch-output.schema.json")) as schema:
    SCHEMA = json.load(schema)


def run(*args, fmt="json"):
    done = subprocess.run([CLI, *args, "--format", fmt, "--quiet", "--extended"],
                          capture_output=True, text=True, check=False)
    if done.returncode != 0:
        raise AssertionError(f"{args}: exit {done.returncode}: {done.stderr}")
    if fmt != "json":
        return list(csv.DictReader(io.StringIO(done.stdout)))
    doc = json.loads(done.stdout)
    jsonschema.validate(doc, SCHEMA)
    return doc["files"][0]


def rows_of_file():
    with open(DATA) as f:
        header = f.readline().rstrip("\n").split("\t")
        return header, [line.rstrip("\n").split("\t") for line in f]


HEADER, ROWS = rows_of_file()
SEASONS = {12: "DJF", 1: "DJF", 2: "DJF", 3: "MAM", 4: "MAM", 5: "MAM", 6: "JJA", 7: "JJA",
           8: "JJA", 9: "SON", 10: "SON", 11: "SON"}


def ymd(row):
    y, m, d = row[0].split("-")
    return int(y), int(m), int(d)


# (options, period label, the rows of that period as this test picks them)
CASES = [
    (["--by", "year"], "1995", lambda r: ymd(r)[0] == 1995),
    (["--by", "water-year"], "WY2003",
     lambda r: "2002-10-01" <= r[0] <= "2003-09-30"),  # holds ten days without a row
    (["--by", "water-year=4"], "WY2000", lambda r: "1999-04-01" <= r[0] <= "2000-03-31"),
    (["--by", "season"], "1991-DJF", lambda r: "1990-12-01" <= r[0] <= "1991-02-28"),
    (["--by", "month"], "2003-03", lambda r: r[0].startswith("2003-03")),
    (["--by", "month-of-year"], "Feb", lambda r: ymd(r)[1] == 2),
    (["--by", "season-of-year"], "JJA", lambda r: SEASONS[ymd(r)[1]] == "JJA"),
    (["--from", "2001-06-15", "--by", "year"], "2001",
     lambda r: "2001-06-15" <= r[0] <= "2001-12-31"),
    (["--from", "2004-02-01T00:00", "--to", "2004-02-29", "--by", "month"], "2004-02",
     lambda r: r[0].startswith("2004-02")),
]


class TimePeriods(unittest.TestCase):
    def alone(self, rows, tmp):
        path = os.path.join(tmp, "alone.txt")
        with open(path, "w") as f:
            f.write("\t".join(HEADER[1:]) + "\n")
            for r in rows:
                f.write("\t".join(r[1:]) + "\n")
        return run(path)

    def assertSameFigures(self, period, alone, groups):
        for g in groups:
            self.assertEqual(period[g], alone[g], g)

    def test_each_period_scores_as_its_rows_alone(self):
        with tempfile.TemporaryDirectory() as tmp:
            for options, label, pick in CASES:
                with self.subTest(options=options, period=label):
                    timed = run(DATA, "--time", "date", *options)
                    rows = [r for r in ROWS if pick(r)]
                    alone = self.alone(rows, tmp)
                    observed = next(p for p in timed["observed"]["periods"]
                                    if p["period"] == label)
                    self.assertEqual((observed["start"], observed["end"], observed["rows"]),
                                     (rows[0][0], rows[-1][0], len(rows)))
                    self.assertSameFigures(observed, alone["observed"], ["basic"])
                    for model, model_alone in zip(timed["models"], alone["models"]):
                        period = next(p for p in model["periods"] if p["period"] == label)
                        self.assertSameFigures(period, model_alone,
                                               ["basic", "errors", "extended"])

    def test_the_evaluation_period_scores_as_its_rows_alone(self):
        with tempfile.TemporaryDirectory() as tmp:
            timed = run(DATA, "--time", "1", "--from", "2001-06-15", "--to", "2004-02-10",
                        "--skip", "30")
            inside = [r for r in ROWS if "2001-06-15" <= r[0] <= "2004-02-10"][30:]
            alone = self.alone(inside, tmp)
            self.assertEqual(timed["evaluation"]["rows"], len(inside))
            self.assertEqual(timed["evaluation"]["start"], inside[0][0])
            self.assertSameFigures(timed["observed"], alone["observed"], ["basic"])
            for model, model_alone in zip(timed["models"], alone["models"]):
                self.assertSameFigures(model, model_alone, ["basic", "errors", "extended"])

    def test_skill_is_what_the_model_and_the_benchmark_figures_give(self):
        timed = run(DATA, "--time", "date", "--benchmark", "mean", "--benchmark", "monthly",
                    "--benchmark", "lagged", "--models", "bucket,smoothed")
        self.assertEqual([m["name"] for m in timed["models"]], ["bucket", "smoothed"])
        usable = [(ymd(r)[1], float(r[1]), float(r[3])) for r in ROWS if r[1] != "-999"]
        obs = [o for _, o, _ in usable]
        mean = sum(obs) / len(obs)
        sst = sum((o - mean) ** 2 for o in obs)
        months = {}
        for month, o, _ in usable:
            months.setdefault(month, []).append(o)
        climatology = {m: sum(v) / len(v) for m, v in months.items()}
        benchmarks = {
            "mean": [mean] * len(usable),
            "monthly": [climatology[m] for m, _, _ in usable],
            "lagged": [lag for _, _, lag in usable],
        }
        for model in timed["models"]:
            nse, rmse = model["errors"]["nse"], model["errors"]["rmse"]
            for name, series in benchmarks.items():
                with self.subTest(model=model["name"], benchmark=name):
                    sse = sum((o - b) ** 2 for o, b in zip(obs, series))
                    nse_b = 1 - sse / sst
                    rmse_b = (sse / len(obs)) ** 0.5
                    skill = model["skill"][name]
                    self.assertAlmostEqual(skill["benchmark"]["nse"], nse_b, places=9)
                    self.assertAlmostEqual(skill["benchmark"]["rmse"], rmse_b, places=9)
                    self.assertAlmostEqual(skill["nse"], (nse - nse_b) / (1 - nse_b), places=9)
                    self.assertAlmostEqual(skill["rmse"], 1 - rmse / rmse_b, places=9)
            # Against the mean the NSE skill is NSE itself; a constant has no KGE.
            self.assertAlmostEqual(model["skill"]["mean"]["nse"], nse, places=12)
            self.assertIsNone(model["skill"]["mean"]["kge"])

    def test_csv_has_a_row_per_model_and_period_with_the_json_figures(self):
        options = [DATA, "--time", "date", "--by", "water-year", "--benchmark", "daily"]
        doc = run(*options)
        table = run(*options, fmt="csv")
        periods = doc["models"][0]["periods"]
        self.assertEqual(len(table), len(doc["models"]) * (1 + len(periods)))
        for row in table:
            model = next(m for m in doc["models"] if m["name"] == row["name"])
            span = next(p for p in model["periods"] if p["period"] == row["period"]) \
                if row["period"] else dict(model, **doc["evaluation"])
            self.assertEqual((row["period_start"], row["period_end"], int(row["rows"])),
                             (span["start"], span["end"], span["rows"]))
            self.assertEqual(float(row["nse"]), span["errors"]["nse"])
            if not row["period"]:
                self.assertEqual(float(row["nse_skill_daily"]), model["skill"]["daily"]["nse"])
                self.assertEqual(float(row["rmse_bench_daily"]),
                                 model["skill"]["daily"]["benchmark"]["rmse"])

    def test_intervals_resample_the_evaluation_period(self):
        boot = ["--bootstrap", "40", "--seed", "7"]
        with tempfile.TemporaryDirectory() as tmp:
            timed = run(DATA, "--time", "date", "--from", "2001-06-15", "--to", "2004-02-10",
                        "--block", "30", *boot)
            inside = [r for r in ROWS if "2001-06-15" <= r[0] <= "2004-02-10"]
            path = os.path.join(tmp, "alone.txt")
            with open(path, "w") as f:
                f.write("\t".join(HEADER[1:]) + "\n")
                f.writelines("\t".join(r[1:]) + "\n" for r in inside)
            alone = run(path, "--block", "30", *boot)
            for model, model_alone in zip(timed["models"], alone["models"]):
                self.assertEqual(model["intervals"], model_alone["intervals"])
        # Without a length, a year of the daily steps (the file's gap of ten days leaves it
        # regular); whole years, calendar or water years, as many as the record touches.
        years = {ymd(r)[0] for r in ROWS}
        water_years = {ymd(r)[0] + (ymd(r)[1] >= 10) for r in ROWS}
        for options, block, blocks in [
                ([], 365, -(-len(ROWS) // 365)),
                (["--block", "year"], "year", len(years)),
                (["--block", "year", "--by", "water-year"], "year", len(water_years))]:
            with self.subTest(options):
                doc = run(DATA, "--time", "date", "--bootstrap", "20", *options)
                self.assertEqual((doc["bootstrap"]["block"], doc["bootstrap"]["blocks"]),
                                 (block, blocks))
                self.assertIsNotNone(doc["models"][0]["intervals"]["nse"]["low"])

    def test_every_number_of_jobs_writes_the_same_bytes(self):
        # 361 spans of 3 models: the periods are scored, collected and laid out on threads.
        options = [DATA, "--time", "date", "--by", "month", "--extended", "--benchmark",
                   "monthly", "--format", "tsv", "--quiet", "--jobs"]
        outputs = {subprocess.run([CLI, *options, jobs], capture_output=True, check=True).stdout
                   for jobs in ("1", "2", "5")}
        self.assertEqual(len(outputs), 1)

    def test_the_example_file_is_what_its_generator_writes(self):
        generator = os.path.join(EXAMPLES, "over_time", "make_daily_30y.py")
        made = subprocess.run([sys.executable, generator], capture_output=True, check=True).stdout
        with open(DATA, "rb") as f:
            self.assertEqual(made, f.read())

    def test_bad_time_columns_name_the_file_line_and_text(self):
        with open(DATA) as f:
            lines = f.readlines()
        cases = [  # line 4 of the file is 1990-10-03; index 4 is line 5
            (4, "1990-10-03", '"1990-10-03" repeats the time stamp on line 4'),
            (4, "1990-09-30", '"1990-09-30" is earlier than the time stamp on line 4'),
            (4, "1990-10-33", '"1990-10-33" is not a time stamp'),
        ]
        with tempfile.TemporaryDirectory() as tmp:
            for line, stamp, message in cases:
                with self.subTest(stamp):
                    bad = list(lines)
                    bad[line] = stamp + bad[line][10:]
                    path = os.path.join(tmp, "bad.txt")
                    with open(path, "w") as f:
                        f.writelines(bad)
                    done = subprocess.run([CLI, path, "--time", "date", "--quiet"],
                                          capture_output=True, text=True, check=False)
                    self.assertEqual(done.returncode, 1)
                    self.assertIn(f"{path}: line {line + 1}: {message}", done.stderr)


if __name__ == "__main__":
    unittest.main(verbosity=2)
