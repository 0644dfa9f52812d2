#!/usr/bin/env python3
"""The batch command's machine formats, read with standard tools as a pipeline would read them.

    machine_output_test.py QUELVARIS_CLI DOCS_DIR EXAMPLES_DIR

The keys and their report labels come from DOCS_DIR/batch-output.md, so the document is
checked along with the program.
"""

import csv
import io
import json
import os
import re
import subprocess
import sys
import tempfile
import unittest
from decimal import ROUND_HALF_UP, Decimal

import jsonschema

CLI, DOCS, EXAMPLES = sys.argv[1:4]
del sys.argv[1:4]

THREE_MODELS = os.path.join(EXAMPLES, "three_models.txt")
WITH_HEADER = os.path.join(EXAMPLES, "comma_header_missing.csv")


def documented_labels():
    """Key -> the report's label, from the two tables of batch-output.md."""
    labels = {}
    with open(os.path.join(DOCS, "batch-output.md"), encoding="utf-8") as doc:
        for line in doc:
            m = re.match(r"\| `([a-z0-9_]+)` \| ([^|]+?) \|", line)
            if m and m.group(1) not in ("file", "column", "name", "rows", "missing"):
                labels[m.group(1)] = m.group(2)
    return labels


def documented_extended_keys():
    """The keys of the extended figures, in the order of their table in batch-output.md."""
    with open(os.path.join(DOCS, "batch-output.md"), encoding="utf-8") as doc:
        table = doc.read().split("### Extended statistics")[1]
    return re.findall(r"^\| `([a-z0-9_]+)` \|", table, re.MULTILINE)


LABELS = documented_labels()
EXTENDED_KEYS = documented_extended_keys()
COUNTS = {"pot", "oob", "nsc"}


def report_text(value, decimals):
    """A figure as the report writes it: its shortest text rounded half away from zero."""
    step = Decimal(1).scaleb(-decimals)
    text = format(Decimal(repr(float(value))).quantize(step, rounding=ROUND_HALF_UP), "f")
    return text[1:] if text.startswith("-") and Decimal(text) == 0 else text


def results_cells(path):
    """The results file as {label: [cell of column 1, cell of the first model, ...]}."""
    with open(path, "rb") as f:
        text = f.read().decode("utf-8")
    cells = {}
    for line in text.split("\r\n")[1:]:
        fields = line.split("\t")
        if len(fields) > 1:
            cells[fields[0]] = fields[1:]
    return cells


def extended_block(text):
    """The Extended Statistics block of a text report: {label: [cell of each model]}, a blank
    cell where the figure is undefined. Cells are read by the columns' right edges, which the
    report's Mean row (a figure in every column) gives."""
    lines = text.split("\n")
    mean = next(line for line in lines if line.startswith("Mean:"))
    edges = [m.end() for m in re.finditer(r"\S+", mean)][2:]  # after "Mean:" and Obs
    block = lines[lines.index("Extended Statistics") + 2:]
    cells = {}
    for line in block:
        if not line:
            break
        label = line[:line.index(":") + 1]
        line = line.ljust(edges[-1])
        starts = [len(label)] + edges[:-1]
        cells[label] = [line[a:b].strip() for a, b in zip(starts, edges)]
    return cells


def run(args, stdin=None):
    # The desktop program's reader: what these tests pin is the output of its runs.
    return subprocess.run([CLI, "--desktop-reader"] + args, input=stdin, capture_output=True,
                          env=ENV, check=False)


class MachineOutput(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def write(self, name, text):
        path = os.path.join(self.dir, name)
        with open(path, "w", encoding="utf-8", newline="") as f:
            f.write(text)
        return path

    def formats(self, files, options):
        """The csv, tsv and json of one call, with the results files of its data files."""
        out = {}
        for fmt in ("csv", "tsv", "json"):
            results_dir = os.path.join(self.dir, "results-" + fmt)
            os.makedirs(results_dir, exist_ok=True)
            r = run(files + options + ["--format", fmt, "--results-dir", results_dir])
            out[fmt] = r
            out["results_dir"] = results_dir
        return out

    def check_against_results(self, files, options, decimals=2):
        """Every figure of every format, rounded, is the results file's text; the formats
        agree on which figures are undefined. Returns the parsed json document."""
        calls = self.formats(files, options)
        doc = json.loads(calls["json"].stdout)
        jsonschema.validate(doc, SCHEMA)
        rows = {}
        for fmt, delimiter in (("csv", ","), ("tsv", "\t")):
            table = list(csv.DictReader(io.StringIO(calls[fmt].stdout.decode()),
                                        delimiter=delimiter))
            rows[fmt] = table
        self.assertEqual(rows["csv"], rows["tsv"])

        good = [f for f in doc["files"] if f["observed"] is not None]
        self.assertEqual(len(rows["csv"]), sum(len(f["models"]) for f in good))
        row = iter(rows["csv"])
        for record in good:
            stem = os.path.splitext(os.path.basename(record["file"]))[0]
            cells = results_cells(os.path.join(calls["results_dir"], stem + ".results.txt"))
            observed = record["observed"]["basic"]
            for k, model in enumerate(record["models"]):
                line = next(row)
                self.assertEqual(line["file"], record["file"])
                self.assertEqual(int(line["column"]), model["column"])
                self.assertEqual(line["name"], model["name"])
                self.assertEqual(int(line["rows"]), record["rows"])
                self.assertEqual(int(line["missing"]), record["missing"])
                figures = [("obs_" + key, value, cells[LABELS[key] + ": "][0])
                           for key, value in observed.items()]
                for group in ("basic", "errors"):
                    figures += [(key, value, cells[LABELS[key] + ": "][k + 1])
                                for key, value in model[group].items()]
                for key, value, shown in figures:
                    what = f"{record['file']} column {model['column']} {key}"
                    if value is None:
                        self.assertEqual(line[key], "", what)
                        continue
                    self.assertEqual(float(line[key]), float(value), what)
                    is_count = key.removeprefix("obs_") in COUNTS
                    if is_count:
                        self.assertIsInstance(value, int, what)
                    places = 0 if is_count else decimals
                    self.assertEqual(report_text(value, places), shown, what)
        self.assertIsNone(next(row, None))
        return doc, calls

    def test_every_figure_is_the_results_files_text(self):
        constant = self.write("constant.txt", "".join(
            f"{o}\t{o + 1}\t7\n" for o in (10, 14, 12, 18, 11, 16)))
        cases = [
            ("all columns", [THREE_MODELS], ["--columns", "4", "--all"], 2),
            ("one column", [THREE_MODELS], ["--columns", "4", "--column", "3"], 2),
            ("bounds", [THREE_MODELS],
             ["--columns", "4", "--all", "--apply-bounds", "--lower", "10", "--upper", "40"], 2),
            ("AIC and BIC", [THREE_MODELS],
             ["--columns", "4", "--all", "--aic-bic", "--parameters", "3", "--points", "92",
              "--decimals", "4"], 4),
            ("missing values", [WITH_HEADER], ["--columns", "3", "--all", "--comma", "--header",
                                               "--decimals", "3"], 3),
            ("a constant model", [constant], ["--columns", "3", "--all", "--decimals", "0"], 0),
        ]
        for what, files, options, decimals in cases:
            with self.subTest(what):
                doc, calls = self.check_against_results(files, options, decimals)
                for fmt in ("csv", "tsv", "json"):
                    self.assertEqual(calls[fmt].returncode, 0, calls[fmt].stderr)
                self.assertEqual("aic" in doc["files"][0]["models"][0]["errors"],
                                 "--aic-bic" in options)

    def test_extended_figures_in_every_format(self):
        # Column 3 is constant, column 4 has a single usable value.
        gaps = self.write("gaps.txt", "".join(
            f"{o}\t{o + 2}\t5\t{3 if o == 12 else -999}\n" for o in (10, 14, 12, 18, 11, 16)))
        short = self.write("short.txt", "1\t2\t3\t4\n")
        gauges = sorted(os.path.join(EXAMPLES, "gauges", g)
                        for g in os.listdir(os.path.join(EXAMPLES, "gauges")))
        cases = [
            ("all columns", [THREE_MODELS], ["--columns", "4", "--all"], 2),
            ("bounds", [THREE_MODELS],
             ["--columns", "4", "--all", "--apply-bounds", "--lower", "10", "--upper", "40",
              "--decimals", "4"], 4),
            ("missing values", [WITH_HEADER], ["--columns", "3", "--all", "--comma", "--header"],
             2),
            ("undefined figures", [gaps], ["--columns", "4", "--all", "--decimals", "0"], 0),
            ("gauges and a failing file", gauges[:2] + [short] + gauges[2:],
             ["--columns", "4", "--all", "--header", "--aic-bic", "--parameters", "3",
              "--points", "50"], 2),
        ]
        for what, files, options, decimals in cases:
            with self.subTest(what):
                plain = {fmt: run(files + options + ["--format", fmt, "--quiet"])
                         for fmt in ("csv", "json")}
                calls = {fmt: run(files + options + ["--format", fmt, "--quiet", "--extended"])
                         for fmt in ("csv", "tsv", "json", "text")}
                rounded = run(files + options + ["--format", "csv", "--quiet", "--extended",
                                                 "--rounded"])
                doc = json.loads(calls["json"].stdout)
                jsonschema.validate(doc, SCHEMA)
                self.assertIs(doc["options"]["extended"], True)
                plain_doc = json.loads(plain["json"].stdout)
                self.assertNotIn("extended", plain_doc["options"])
                # Without --extended the documents are the same, bar the extended objects.
                for record in doc["files"]:
                    for model in record["models"]:
                        self.assertEqual(list(model.pop("extended")), EXTENDED_KEYS)
                doc["options"].pop("extended")
                self.assertEqual(doc, plain_doc)
                doc = json.loads(calls["json"].stdout)

                plain_header = plain["csv"].stdout.decode().split("\n")[0].split(",")
                tables = {fmt: list(csv.reader(io.StringIO(calls[fmt].stdout.decode()),
                                               delimiter=delimiter))
                          for fmt, delimiter in (("csv", ","), ("tsv", "\t"))}
                self.assertEqual(tables["csv"], tables["tsv"])
                header, *lines = tables["csv"]
                self.assertEqual(header, plain_header + EXTENDED_KEYS)
                rounded_lines = list(csv.reader(io.StringIO(rounded.stdout.decode())))[1:]
                models = [(r, m) for r in doc["files"] for m in r["models"]]
                self.assertEqual(len(lines), len(models))
                self.assertEqual(len(rounded_lines), len(models))

                reports = calls["text"].stdout.decode().split("File: ")
                blocks = {}
                for report in reports:
                    if "Extended Statistics" in report:
                        blocks[report.split("\n")[0] if len(files) > 1 else files[0]] = \
                            extended_block(report)
                self.assertEqual(len(blocks), sum(1 for r in doc["files"] if r["models"]))

                first = len(plain_header)
                for (record, model), line, rounded_line in zip(models, lines, rounded_lines):
                    self.assertEqual((line[0], int(line[1])), (record["file"], model["column"]))
                    block = blocks[record["file"]]
                    at = [m["column"] for m in record["models"]].index(model["column"])
                    for i, key in enumerate(EXTENDED_KEYS):
                        whom = f"{record['file']} column {model['column']} {key}"
                        value = model["extended"][key]
                        shown = block[LABELS[key] + ":"][at]
                        if value is None:
                            self.assertEqual((line[first + i], rounded_line[first + i], shown),
                                             ("", "", ""), whom)
                            continue
                        self.assertEqual(float(line[first + i]), value, whom)
                        self.assertEqual(rounded_line[first + i], report_text(value, decimals),
                                         whom)
                        self.assertEqual(shown, report_text(value, decimals), whom)
                for fmt in ("csv", "tsv", "json", "text"):
                    self.assertEqual(calls[fmt].returncode, plain["csv"].returncode, fmt)

                if what == "undefined figures":
                    constant, single = doc["files"][0]["models"][1:]
                    self.assertIsNone(constant["extended"]["kge2009_r"])
                    self.assertIsNotNone(constant["extended"]["pbias"])
                    self.assertTrue(all(v is None for v in single["extended"].values()))

    def test_undefined_figures_are_empty_or_null(self):
        # Column 3 is constant (no skewness, no correlation); column 4 has no usable value.
        data = self.write("gaps.txt", "".join(
            f"{o}\t{o + 2}\t5\t-999\n" for o in (10, 14, 12, 18, 11, 16)))
        doc, calls = self.check_against_results([data], ["--columns", "4", "--all"])
        constant, empty = doc["files"][0]["models"][1:]
        self.assertEqual([k for k, v in constant["basic"].items() if v is None],
                         ["skew", "kurtosis"])
        self.assertIsNone(constant["errors"]["r"])
        self.assertIsNone(constant["errors"]["kge"])
        self.assertIsNotNone(constant["errors"]["rmse"])
        self.assertTrue(all(v is None for v in empty["basic"].values()))
        self.assertTrue(all(v is None for v in empty["errors"].values()))
        cells = results_cells(os.path.join(calls["results_dir"], "gaps.results.txt"))
        self.assertEqual(cells["Skew: "][2], "-999.00")  # the report keeps the code
        self.assertEqual(cells["AME: "][3], "-9999.00")  # and the starting values
        rows = list(csv.DictReader(io.StringIO(calls["csv"].stdout.decode())))
        self.assertEqual((rows[1]["skew"], rows[2]["rmse"], rows[2]["nsc"]), ("", "", ""))

    def test_a_failing_file_among_good_ones(self):
        short = self.write("short.txt", "1\t2\t3\t4\n5\t6\t7\t8\n")
        absent = os.path.join(self.dir, "absent.txt")
        with open(THREE_MODELS, encoding="utf-8") as f:
            again = self.write("again.txt", f.read())
        files = [THREE_MODELS, short, absent, again]
        doc, calls = self.check_against_results(files, ["--columns", "4", "--all"])
        for fmt in ("csv", "tsv", "json"):
            self.assertEqual(calls[fmt].returncode, 1)
        self.assertEqual([f["file"] for f in doc["files"]], files)
        failed = doc["files"][1:3]
        for record in failed:
            self.assertIsNone(record["rows"])
            self.assertEqual(record["models"], [])
            self.assertTrue(any(m["error"] for m in record["messages"]), record)
        self.assertIn("Insufficient data", failed[0]["messages"][0]["text"])
        self.assertIn("Data file: " + absent, failed[1]["messages"][0]["text"])
        self.assertFalse(any(m["error"] for m in doc["files"][3]["messages"]))
        # On standard error each file's messages are headed by the file.
        err = calls["csv"].stderr.decode()
        self.assertIn(f"File: {short}\nError Message: Insufficient data", err)
        self.assertIn(f"File: {absent}\nError Message: ", err)

    def test_names_from_a_header(self):
        # A name with a comma and quotes comes back whole through a CSV reader; an empty field
        # leaves the report's name.
        data = self.write("named.txt",
                          'obs\tlag "1", m3/s\t\n1\t2\t3\n4\t5\t6\n7\t8\t9\n2\t3\t1\n')
        doc, calls = self.check_against_results([data], ["--columns", "3", "--all", "--header"])
        record = doc["files"][0]
        self.assertEqual(record["observed"]["name"], "obs")
        self.assertEqual([m["name"] for m in record["models"]], ['lag "1", m3/s', "Mod  3"])
        text = run([data, "--columns", "3", "--all", "--header", "--quiet"])
        self.assertEqual(text.returncode, 0, text.stderr)
        heading = text.stdout.decode().split("\n")[0]
        self.assertEqual(heading.split(), ["obs", "lag", '"1",', "m3/s", "Mod", "3"])

    def test_standard_input_from_a_pipe(self):
        with open(THREE_MODELS, "rb") as f:
            data = f.read()
        piped = run(["-", "--columns", "4", "--all", "--format", "json", "--quiet"], stdin=data)
        by_name = run([THREE_MODELS, "--columns", "4", "--all", "--format", "json", "--quiet"])
        self.assertEqual(piped.returncode, 0, piped.stderr)
        piped_file = json.loads(piped.stdout)["files"][0]
        named_file = json.loads(by_name.stdout)["files"][0]
        self.assertEqual(piped_file["file"], "-")
        self.assertEqual(piped_file["models"], named_file["models"])
        self.assertEqual(piped_file["observed"], named_file["observed"])

    def test_empty_standard_input_is_named_so(self):
        r = run(["-", "--columns", "4", "--all", "--format", "json"], stdin=b"")
        self.assertEqual(r.returncode, 1)
        err = r.stderr.decode()
        self.assertIn("\nData file: standard input\n", err)
        self.assertNotIn("/dev/", err)

    def test_rounded_figures_are_the_reports(self):
        results = os.path.join(self.dir, "r.txt")
        r = run([THREE_MODELS, "--columns", "4", "--column", "2", "--format", "csv", "--rounded",
                 "--decimals", "1", "--results", results, "--quiet"])
        self.assertEqual(r.returncode, 0, r.stderr)
        row = next(csv.DictReader(io.StringIO(r.stdout.decode())))
        cells = results_cells(results)
        for key in ("rmse", "nse", "kge", "mean", "nsc"):
            self.assertEqual(row[key], cells[LABELS[key] + ": "][1], key)

    def test_intervals_in_every_format(self):
        # Column 4 has a single usable value.
        gaps = self.write("gaps.txt", "".join(
            f"{o}\t{o + 2}\t{o * 1.5}\t{3 if o == 12 else -999}\n"
            for o in (10, 14, 12, 18, 11, 16, 13, 15, 9, 17)))
        options = ["--columns", "4", "--all", "--extended", "--quiet"]
        boot = ["--bootstrap", "60", "--jackknife", "--seed", "7"]
        files = [THREE_MODELS, gaps]
        calls = {fmt: run(files + options + boot + ["--format", fmt])
                 for fmt in ("csv", "tsv", "json", "text")}
        plain = {fmt: run(files + options + ["--format", fmt]) for fmt in ("csv", "json")}
        for fmt, r in calls.items():
            self.assertEqual(r.returncode, 0, (fmt, r.stderr))
        # The same seed gives the same document again, and through the batch reader the same
        # bytes with one job or two, whatever threads did which resample, and the same intervals.
        self.assertEqual(run(files + options + boot + ["--format", "json"]).stdout,
                         calls["json"].stdout)
        by_jobs = [subprocess.run([CLI] + files + options + boot + ["--format", "json", "--jobs",
                                                                   jobs],
                                  capture_output=True, env=ENV, check=False)
                   for jobs in ("1", "2")]
        self.assertEqual(by_jobs[0].returncode, 0, by_jobs[0].stderr)
        self.assertEqual(by_jobs[0].stdout, by_jobs[1].stdout)
        self.assertEqual([m["intervals"] for r in json.loads(by_jobs[0].stdout)["files"]
                          for m in r["models"]],
                         [m["intervals"] for r in json.loads(calls["json"].stdout)["files"]
                          for m in r["models"]])
        doc = json.loads(calls["json"].stdout)
        jsonschema.validate(doc, SCHEMA)
        self.assertEqual(doc["files"][0]["bootstrap"],
                         {"resamples": 60, "confidence": 0.9, "block": 5, "blocks": 19, "seed": 7})
        self.assertEqual(doc["files"][1]["bootstrap"]["block"], 2)  # cube root of 10 rows

        # Bar the intervals, the figures are those of a call without them.
        plain_doc = json.loads(plain["json"].stdout)
        suffixes = ["low", "high", "se", "jackknife_se_low", "jackknife_se_high"]
        keys = []
        for record in doc["files"]:
            record.pop("bootstrap")
            for model in record["models"]:
                intervals = model.pop("intervals")
                keys = list(model["basic"]) + list(model["errors"]) + list(model["extended"])
                self.assertEqual(list(intervals), keys)
                model["intervals"] = intervals
        for key in ("bootstrap", "block", "confidence", "jackknife", "seed"):
            doc["options"].pop(key)
        stripped = json.loads(json.dumps(doc))
        for record in stripped["files"]:
            for model in record["models"]:
                model.pop("intervals")
        self.assertEqual(stripped, plain_doc)

        good, gapped = doc["files"][0]["models"][0], doc["files"][1]["models"][2]
        rmse = good["intervals"]["rmse"]
        self.assertLess(rmse["low"], good["errors"]["rmse"])
        self.assertGreater(rmse["high"], good["errors"]["rmse"])
        self.assertGreater(rmse["jackknife_se_low"], 0)
        self.assertEqual(rmse["defined_share"], 1)
        # A model of one usable value has a mean only on a resample that drew its row 4 times
        # or more: too few for an interval, and so for a KGE built on the mean.
        for key in ("mean", "sd", "kge"):
            v = gapped["intervals"][key]
            self.assertEqual((v["low"], v["high"], v["se"]), (None, None, None), key)
            self.assertLess(v["defined_share"], 0.5, key)

        # tsv and csv: the three columns and the jackknife's of every model figure, as in json.
        tables = {fmt: list(csv.reader(io.StringIO(calls[fmt].stdout.decode()),
                                       delimiter=delimiter))
                  for fmt, delimiter in (("csv", ","), ("tsv", "\t"))}
        self.assertEqual(tables["csv"], tables["tsv"])
        header, *lines = tables["csv"]
        plain_header = plain["csv"].stdout.decode().split("\n")[0].split(",")
        self.assertEqual(header, plain_header + [f"{k}_{s}" for k in keys for s in suffixes])
        models = [m for r in doc["files"] for m in r["models"]]
        for line, model in zip(lines, models):
            cells = dict(zip(header, line))
            for key in keys:
                for s in suffixes:
                    value = model["intervals"][key][s]
                    cell = cells[f"{key}_{s}"]
                    self.assertEqual(None if cell == "" else float(cell), value, (key, s))

        text = calls["text"].stdout.decode()
        self.assertEqual(text.count("\nIntervals\n"), 2)
        self.assertIn("60 resamples of blocks of 5 rows, 90 % percentile intervals", text)

        # Values that cannot be used end the call before anything is read.
        for bad, message in [
                (["--bootstrap", "0"], "--bootstrap must be a whole number"),
                (["--bootstrap", "100001"], "--bootstrap must be a whole number"),
                (["--bootstrap", "10", "--confidence", "1"], "--confidence must lie between"),
                (["--bootstrap", "10", "--block", "-3"], "--block must be a whole number"),
                (["--seed", "4"], "--seed needs --bootstrap."),
                (["--bootstrap", "10", "--block", "year"], "--block year needs --time."),
        ]:
            with self.subTest(bad):
                r = subprocess.run([CLI, THREE_MODELS] + bad, capture_output=True, env=ENV,
                                   check=False)
                self.assertEqual((r.returncode, r.stdout), (2, b""))
                self.assertIn(message, r.stderr.decode())
        # A block longer than one file's record: refused for that file, exit status 2.
        r = run([gaps, THREE_MODELS, "--columns", "4", "--all", "--bootstrap", "10", "--block",
                 "20", "--format", "json", "--quiet"])
        self.assertEqual(r.returncode, 2)
        self.assertIn("Block of 20 rows is longer than the record of 10 rows.", r.stderr.decode())
        refused, taken = json.loads(r.stdout)["files"]
        self.assertNotIn("bootstrap", refused)
        self.assertEqual(taken["bootstrap"]["block"], 20)

    def test_decimals_outside_the_range_of_a_settings_file(self):
        # Such a value leaves the report at its 2 decimals: the options and --rounded say and
        # use the same, in every format.
        for value in ("-1", "7", "9", "-32768"):
            with self.subTest(value):
                ini = self.write("odd.ini", f"[Quelvaris]\nDecimalsReq={value}\n")
                results = os.path.join(self.dir, "r.txt")
                call = [THREE_MODELS, "--columns", "4", "--column", "2", "--settings", ini,
                        "--results", results, "--quiet", "--rounded", "--format"]
                csv_call = run(call + ["csv"])
                self.assertEqual(csv_call.returncode, 0, csv_call.stderr)
                row = next(csv.DictReader(io.StringIO(csv_call.stdout.decode())))
                cells = results_cells(results)
                for key, shown in (("obs_sd", cells["SD: "][0]), ("rmse", cells["RMSE: "][1])):
                    self.assertEqual(row[key], shown, key)
                doc = json.loads(run(call + ["json"]).stdout)
                self.assertEqual(doc["options"]["decimals"], 2)
                self.assertEqual(doc["files"][0]["observed"]["basic"]["sd"], float(row["obs_sd"]))
                text = run(call + ["text"]).stdout.decode()
                self.assertIn(" " + cells["Mean: "][0] + " ", text)

    def test_standard_output_that_cannot_be_written(self):
        # A full device is said with the system's reason; a reader that has gone away (a pipe
        # into head) ends the call quietly: by SIGPIPE, or with 128 + 13 where it is ignored.
        cases = [
            ("a full device", "full", True, 1, "Cannot write to standard output: "
                                               "No space left on device."),
            ("a closed pipe", "pipe", True, -13, ""),
            ("a closed pipe, SIGPIPE ignored", "pipe", False, 141, ""),
        ]
        for what, target, default_sigpipe, status, message in cases:
            with self.subTest(what):
                if target == "full":
                    out = open("/dev/full", "wb")
                else:
                    read_end, write_end = os.pipe()
                    os.close(read_end)
                    out = os.fdopen(write_end, "wb")
                with out:
                    r = subprocess.run([CLI, "--desktop-reader", THREE_MODELS, THREE_MODELS,
                                        "--columns", "4", "--quiet"], stdout=out, stderr=subprocess.PIPE,
                                       env=ENV, restore_signals=default_sigpipe, check=False)
                self.assertEqual(r.returncode, status, r.stderr)
                err = r.stderr.decode()
                if message:
                    self.assertTrue(err.endswith("\nError Message: " + message + "\n"), err)
                    self.assertNotIn("Unable to write to drive", err)
                else:
                    self.assertEqual(err, "")

    def test_exit_statuses_of_mixed_runs(self):
        short = self.write("short.txt", "1\t2\n")
        other = os.path.join(self.dir, "b", "three_models.csv")
        os.makedirs(os.path.dirname(other))
        with open(THREE_MODELS, "rb") as src, open(other, "wb") as dst:
            dst.write(src.read())
        beside = os.path.join(self.dir, "b", "three_models.txt")  # the same name in b
        with open(THREE_MODELS, "rb") as src, open(beside, "wb") as dst:
            dst.write(src.read())
        out_dir = os.path.join(self.dir, "out")
        os.makedirs(out_dir)
        cases = [
            ("good files", [THREE_MODELS, THREE_MODELS], 0),
            ("a file that stops", [THREE_MODELS, short], 1),
            ("a file that does not exist", [os.path.join(self.dir, "none.txt"), THREE_MODELS], 1),
            ("a rejected value", [THREE_MODELS, "--threshold", "x"], 2),
            ("standard input twice", ["-", "-"], 2),
            ("--results with two files", [THREE_MODELS, THREE_MODELS, "--results", "r.txt"], 2),
            ("one results file for two", [beside, other, "--results-dir", out_dir], 2),
            ("an unknown format", [THREE_MODELS, "--format", "xml"], 2),
        ]
        for what, args, status in cases:
            with self.subTest(what):
                if "--format" not in args:
                    args = args + ["--format", "csv"]
                r = run(args + ["--columns", "4", "--quiet"])
                self.assertEqual(r.returncode, status, r.stderr)
                if status == 2:
                    self.assertEqual(r.stdout, b"")
                    self.assertEqual(os.listdir(out_dir), [])
                else:
                    header = r.stdout.decode().split("\n")[0]
                    self.assertTrue(header.startswith("file,column,name,rows,missing"), header)


if __name__ == "__main__":
    with open(os.path.join(DOCS, "batch-output.schema.json"), encoding="utf-8") as s:
        SCHEMA = json.load(s)
    jsonschema.Draft202012Validator.check_schema(SCHEMA)
    # The user's own settings file must not change the figures.
    CONFIG = tempfile.mkdtemp()
    ENV = dict(os.environ, XDG_CONFIG_HOME=CONFIG)
    try:
        unittest.main(verbosity=2)
    finally:
        os.rmdir(CONFIG)
