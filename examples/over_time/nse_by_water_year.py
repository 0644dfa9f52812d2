#!/usr/bin/env python3
"""The NSE of every model of examples/over_time/daily_30y.txt in each water year, and the
bucket model's NSE skill over the monthly climatology, from one call of the batch command:

    examples/over_time/nse_by_water_year.py [QUELVARIS_CLI]
"""
import csv
import os
import subprocess
import sys

program = sys.argv[1] if len(sys.argv) > 1 else "quelvaris-cli"
data = os.path.join(os.path.dirname(os.path.abspath(__file__)), "daily_30y.txt")
run = subprocess.run([program, data, "--time", "date", "--by", "water-year",
                      "--benchmark", "monthly", "--format", "csv", "--quiet"],
                     capture_output=True, text=True, check=True)
rows = list(csv.DictReader(run.stdout.splitlines()))
models = list(dict.fromkeys(r["name"] for r in rows))
print(f'{"period":<8}' + "".join(f"{m:>10}" for m in models) + "  bucket over monthly")
for period in dict.fromkeys(r["period"] for r in rows):
    scores = {r["name"]: r for r in rows if r["period"] == period}
    print(f"{period or 'all':<8}" + "".join(f'{float(scores[m]["nse"]):10.3f}' for m in models)
          + f'{float(scores["bucket"]["nse_skill_monthly"]):10.3f}')
