#!/usr/bin/env python3
"""Writes examples/over_time/daily_30y.txt: 30 years of daily flows at one gauge (1 October
1990 to 30 September 2020) with three models, for scoring over time.

The flows come from a small rainfall-runoff reckoning driven by a fixed pseudo-random rain
series, so the file is the same on every machine and every run:

  bucket    the same store with slightly wrong parameters, calibrated before the catchment
            began to drain faster (from water year 2009 on), so it fits the later years less
  lagged    the observed flows one day late
  smoothed  a model that damps the peaks

The observed series has a few days without a value (-999) and the file skips ten days of
March 2003 altogether (a gap in time). Rerun it to check:
`examples/over_time/make_daily_30y.py | cmp - examples/over_time/daily_30y.txt`.
"""
import datetime
import math
import sys


class Lcg:
    """A 48-bit linear congruential generator: the same numbers in every Python."""

    def __init__(self, seed):
        self.state = seed

    def uniform(self):
        self.state = (self.state * 25214903917 + 11) % (1 << 48)
        return (self.state >> 16) / float(1 << 32)


def main(out):
    rng = Lcg(19901001)
    day = datetime.date(1990, 10, 1)
    last = datetime.date(2020, 9, 30)
    gap = (datetime.date(2003, 3, 10), datetime.date(2003, 3, 19))
    store_obs = store_mod = 20.0
    smooth = previous_obs = None
    out.write("date\tobs\tbucket\tlagged\tsmoothed\n")
    while day <= last:
        season = math.cos(2 * math.pi * (day.timetuple().tm_yday - 15) / 365.25)
        wet = rng.uniform() < 0.35 + 0.15 * season
        rain = -8.0 * math.log(1.0 - rng.uniform()) if wet else 0.0
        evap = 1.6 - 1.2 * season
        store_obs = max(store_obs + rain - evap, 0.0)
        store_mod = max(store_mod + 1.1 * rain - evap, 0.0)
        drain = 0.06 if day < datetime.date(2008, 10, 1) else 0.15
        obs = drain * store_obs + 0.3 * rain + 0.5
        bucket = 0.055 * store_mod + 0.28 * rain + 0.6
        store_obs -= drain * store_obs
        store_mod -= 0.055 * store_mod
        smooth = obs if smooth is None else 0.7 * smooth + 0.3 * obs
        lagged = obs if previous_obs is None else previous_obs
        previous_obs = obs
        if not gap[0] <= day <= gap[1]:
            missing = rng.uniform() < 0.003
            shown = "-999" if missing else f"{obs:.2f}"
            out.write(f"{day.isoformat()}\t{shown}\t{bucket:.2f}\t{lagged:.2f}\t{smooth:.2f}\n")
        day += datetime.timedelta(days=1)


if __name__ == "__main__":
    main(sys.stdout)
