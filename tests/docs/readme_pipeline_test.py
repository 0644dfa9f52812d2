#!/usr/bin/env python3
"""The README's pipeline section, run as a reader runs it: every `$ ` command of its console
blocks and every Python block, in a fresh folder holding a copy of the examples, with the
output compared line for line with the README's. The programs are the ones on PATH.

    readme_pipeline_test.py README EXAMPLES_DIR
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

SECTION = "## In a pipeline"


def steps(readme):
    """(language, code, expected output lines) of the section, in order."""
    text = readme.split(SECTION + "\n", 1)[1].split("\n## ", 1)[0]
    found = []
    for language, body in re.findall(r"```(\w*)\n(.*?)```", text, re.S):
        lines = body.rstrip("\n").split("\n")
        if language == "python":
            found.append(["python", body, []])
        elif language == "console" and not lines[0].startswith("$ "):
            found[-1][2] = lines  # the output of the block before
        elif language == "console":
            for line in lines:
                if line.startswith("$ "):
                    found.append(["sh", line[2:], []])
                elif found[-1][1].endswith("\\"):
                    found[-1][1] += "\n" + line
                else:
                    found[-1][2].append(line)
    return found


def main():
    readme, examples = sys.argv[1:3]
    with open(readme, encoding="utf-8") as f:
        found = steps(f.read())
    if len(found) < 4:
        print(f"FAIL: only {len(found)} steps found in {SECTION!r} of {readme}")
        return 1
    failed = 0
    with tempfile.TemporaryDirectory() as work:
        shutil.copytree(examples, os.path.join(work, "examples"))
        for language, code, expected in found:
            command = ["python3", "-c", code] if language == "python" else ["bash", "-c", code]
            run = subprocess.run(command, cwd=work, capture_output=True, text=True, check=False)
            got = run.stdout.rstrip("\n").split("\n") if run.stdout else []
            if run.returncode != 0 or got != expected:
                failed += 1
                print(f"FAIL: {code}\n  exit status {run.returncode}, standard error: "
                      f"{run.stderr.strip()}\n  expected: {expected}\n  got:      {got}")
    print(f"README pipeline: {len(found)} steps, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
