"""What the module's tests share: the batch command, and data files as it reads them."""

import json
import os
import subprocess

import numpy as np
import pytest

EXAMPLES = os.path.join(os.path.dirname(__file__), "..", "..", "examples")


@pytest.fixture(scope="session")
def cli():
    """Runs quelvaris-cli with the given words; returns its standard output."""
    program = os.environ["QUELVARIS_CLI"]

    def run(*words, fails=False):
        done = subprocess.run([program, *map(str, words), "--quiet"], capture_output=True,
                              text=True, check=False)
        assert (done.returncode != 0) == fails, done.stderr
        return done.stderr if fails else done.stdout

    return run


def cli_json(cli, path, columns, *words):
    """The batch command's json record of one file, every figure in full precision."""
    return json.loads(cli(path, "--columns", columns, "--all", "--format", "json", *words))[
        "files"][0]


def read_table(path, comma=False, header=False):
    """The fields of a data file as float64 columns (-999 stays a value)."""
    with open(path, newline="") as f:
        lines = f.read().splitlines()
    if header:
        lines = lines[1:]
    rows = [line.split("," if comma else "\t") for line in lines if line]
    return np.array([[float(x) for x in row] for row in rows])


def write_table(path, columns, header=None, missing=-999.0):
    """Writes float64 columns tab-separated, each value in its shortest exact text, NaN as the
    missing-data code."""
    with open(path, "w") as f:
        if header:
            f.write("\t".join(header) + "\n")
        for row in np.column_stack(columns):
            f.write("\t".join(repr(float(missing if np.isnan(v) else v)) for v in row) + "\n")
