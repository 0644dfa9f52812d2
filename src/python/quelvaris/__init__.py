"""Quelvaris: how well models reproduce observations, from Python.

The figures come from the same engine as the desktop program and the batch command
``quelvaris-cli``, so a figure is the same double whichever front end computed it.

>>> import numpy as np, quelvaris
>>> observed = np.array([3.1, 2.9, 4.2, 5.0, 3.8, np.nan, 3.3])
>>> result = quelvaris.evaluate(observed, {"bucket": observed * 1.05, "lagged": np.roll(observed, 1)})
>>> result.models
['bucket', 'lagged']
>>> round(float(result["nse"][0]), 4)
0.9308

See ``help(quelvaris.evaluate)`` and docs/python.md.
"""

import datetime
import inspect
import math
import numbers
import os
import warnings

import numpy as np

from . import _core

__all__ = ["evaluate", "read", "Evaluation", "Period", "Table"]
__version__ = "1.3"


def _is_missing_object(value):
    if value is None:
        return True
    try:
        import pandas

        if value is pandas.NA or value is pandas.NaT:
            return True
    except ImportError:
        pass
    return False


def _not_a_number(line, column, value):
    # The batch reader's words for a field that is no number, with the row as its line.
    text = str(value)
    shown = text[:40] + ("..." if len(text) > 40 else "")
    return TypeError(f'Line {line}, column {column}: "{shown}" is not a number.')


def _float_values(values, column):
    """A 1-D array of any dtype as float64, or TypeError; never a lossy or guessed copy."""
    kind = values.dtype.kind
    if kind == "f":
        if values.dtype.itemsize > 8:
            raise TypeError(
                f"column {column}: {values.dtype} values would lose digits as float64; "
                "convert them first")
        return values.astype(np.float64, copy=False)
    if kind in "iu":
        converted = values.astype(np.float64)
        if values.size and np.abs(converted).max() > 2.0**53:
            back = converted.astype(values.dtype)
            if not np.array_equal(back, values):
                raise TypeError(
                    f"column {column}: integers beyond 2**53 have no exact float64 value")
        return converted
    if kind == "O":
        out = np.empty(values.shape[0], dtype=np.float64)
        for row, value in enumerate(values):
            if _is_missing_object(value):
                out[row] = math.nan
            elif isinstance(value, (numbers.Real, np.floating, np.integer)) and not isinstance(
                    value, (bool, np.bool_)):
                out[row] = float(value)
            else:
                raise _not_a_number(row + 1, column, value)
        return out
    if kind in "US" and values.size:
        raise _not_a_number(1, column, values[0])
    raise TypeError(f"column {column}: {values.dtype} values are not numbers")


def _series(values, column, what):
    """One series (observed or a model) as a 1-D float64 array."""
    if hasattr(values, "to_numpy") and not isinstance(values, np.ndarray):
        values = values.to_numpy()  # pandas Series, xarray DataArray
    array = np.asarray(values)
    if array.ndim != 1:
        raise ValueError(f"{what} must be one-dimensional: got {array.ndim} dimensions")
    return _float_values(array, column)


def _models_of(models, observed_dims, dim):
    """The models as (list of 1-D arrays, list of names or None)."""
    module = type(models).__module__.split(".")[0]
    if module == "pandas" and hasattr(models, "columns"):
        columns = list(models.columns)
        arrays = [models.iloc[:, i] for i in range(len(columns))]
        return arrays, [str(c) for c in columns]
    if module == "pandas" and hasattr(models, "to_numpy"):  # one Series: one model
        return [models], [str(models.name)] if models.name is not None else None
    if module == "xarray" and hasattr(models, "dims"):
        return _xarray_models(models, observed_dims, dim)
    if isinstance(models, (list, tuple, dict)) and len(models) == 0:
        return [], None
    if isinstance(models, dict):
        return list(models.values()), [str(k) for k in models.keys()]
    if isinstance(models, (list, tuple)) and models and all(
            np.ndim(m) == 1 or hasattr(m, "to_numpy") for m in models):
        names = [getattr(m, "name", None) for m in models]
        return list(models), [str(n) for n in names] if all(
            isinstance(n, str) for n in names) else None
    array = np.asarray(models)
    if array.ndim == 1:
        return [array], None
    if array.ndim != 2:
        raise ValueError(
            f"models must be a 2-D array (rows x models), a list of 1-D arrays, a DataFrame or "
            f"a DataArray: got {array.ndim} dimensions")
    return [array[:, i] for i in range(array.shape[1])], None


def _xarray_models(models, observed_dims, dim):
    if models.ndim == 1:
        return [models], [str(models.name)] if models.name is not None else None
    if models.ndim != 2:
        raise ValueError(f"models must have two dimensions (time and model): got {models.ndim}")
    if dim is None:
        others = [d for d in models.dims if d not in observed_dims]
        if len(others) != 1:
            raise ValueError(
                f"the models' dimensions are {models.dims}: name the model dimension with dim=")
        dim = others[0]
    if dim not in models.dims:
        raise ValueError(f"models have no dimension {dim!r}: their dimensions are {models.dims}")
    names = [str(v) for v in models[dim].values] if dim in models.coords else None
    return [models.isel({dim: i}) for i in range(models.sizes[dim])], names


def _number(value, message):
    try:
        x = float(value)
    except (TypeError, ValueError):
        raise TypeError(message) from None
    if not math.isfinite(x):
        raise ValueError(message)
    return x


def _count(value, not_a_value, too_small):
    # The batch command's rule for its parameters and points: a value of 2 or more, rounded down.
    x = _number(value, not_a_value)
    if not x >= 2:
        raise ValueError(too_small)
    if x >= 2**31:
        raise ValueError(f"{not_a_value[:-len(' must be a value.')]} must be below 2**31.")
    return int(math.floor(x))


def _model_names(names, default, count):
    if names is None:
        names = default if default is not None else [_core.default_name(c) for c in range(2, count + 2)]
    names = [str(n) for n in names]
    if len(names) != count:
        raise ValueError(f"names holds {len(names)} names for {count} models")
    return names


def _check_lengths(observed, models, names):
    # A shorter series is a file line without all its fields: the batch reader's message.
    rows = len(observed)
    for name, model in zip(names, models):
        if len(model) != rows:
            line = min(rows, len(model)) + 1
            raise ValueError(
                f"Line {line} has fewer than {len(models) + 1} fields: model {name!r} has "
                f"{len(model)} values, the observed series {rows}.")


def evaluate(observed, models, *, names=None, missing=None, threshold=0, bounds=None,
             aic_bic=None, extended=False, dim=None, time=None, time_format=None, from_=None,
             to=None, skip=None, by=None, benchmark=None, benchmark_from=None,
             benchmark_to=None, bootstrap=None, block=None, confidence=None, jackknife=False,
             seed=None):
    """Every figure of each model against the observed series.

    The same computation as the batch command ``quelvaris-cli FILE --all --format json``:
    the basic statistics of every series, the 26 error statistics of every model and, when
    asked for, the extended figures, each figure under the batch command's json key.

    Parameters
    ----------
    observed : array-like, 1-D
        The observed values, one per time step (a numpy array, list, pandas Series or
        xarray DataArray). NaN marks a missing value.
    models : array-like
        One or more models over the same time steps: a 2-D array (rows x models), a list of
        1-D arrays, a dict of name to 1-D array, a pandas DataFrame (its column names become
        the model names) or an xarray DataArray with a model dimension (see `dim`).
    names : sequence of str, optional
        The model names; by default the DataFrame's columns, the dict's keys, the
        DataArray's model coordinate or the batch command's ``Mod  2``, ``Mod  3``, ...
    missing : float, optional
        A missing-data code (``--missing-code``): values equal to it are missing, beside NaN.
    threshold : float, default 0
        The threshold of the peaks-over-threshold count ``pot`` (``--threshold``).
    bounds : (float, float), optional
        ``(lower, upper)``: leave out values outside the bounds (``--apply-bounds --lower L
        --upper U``); a value on a bound counts.
    aic_bic : (int, int), optional
        ``(parameters, points)``: also the AIC and BIC of each model (``--aic-bic
        --parameters P --points M``), each 2 or more, rounded down.
    extended : bool, default False
        Also the extended figures (``--extended``): KGE 2009, 2012, 2021 and non-parametric,
        NSE of transformed flows, percent bias, dr and the duration curve signatures.
    dim : str, optional
        The model dimension of an xarray DataArray of models; by default the one dimension
        that `observed` does not have.
    time : array-like, optional
        ``--time``: the time stamp of each row, increasing (numpy datetime64, pandas
        DatetimeIndex or Timestamps, datetime and date objects, or ISO 8601 texts such as
        ``"1990-10-01"`` and ``"1990-10-01T06:00"``). Needed by every option below up to
        `benchmark_to`.
    time_format : str, optional
        ``--time-format``: the strftime-style layout of stamps given as text (``"%d/%m/%Y"``).
    from_, to : str, date or datetime, optional
        ``--from`` and ``--to``: score only the rows stamped from `from_` to `to`, both
        inclusive; a date as `to` means all its day.
    skip : int, optional
        ``--skip``: leave out the first rows of the evaluation period (a model's warm-up).
    by : str, optional
        ``--by``: also score each period: ``"year"``, ``"water-year"`` (``"water-year=M"``
        starting in month M), ``"season"``, ``"month"``, ``"month-of-year"`` or
        ``"season-of-year"``; see ``result.periods``.
    benchmark : str or sequence, optional
        ``--benchmark``: skill over ``"mean"``, ``"monthly"``, ``"daily"``, ``"persistence"``,
        or a model (by name or column number, 2 for the first) that becomes a benchmark
        instead; see ``result.skill``.
    benchmark_from, benchmark_to : str, date or datetime, optional
        ``--benchmark-from`` and ``--benchmark-to``: the rows the built benchmarks are made of
        (default: the evaluation period).
    bootstrap : int, optional
        ``--bootstrap``: resample the paired rows this many times (1 to 100000) and give each
        figure of each model its percentile interval and standard error (``result.intervals``);
        with `time`, of the evaluation period's rows and figures.
    block : int or "year", optional
        ``--block``: rows in each block of consecutive rows, or ``"year"`` with `time` for whole
        years (water years with ``by="water-year"``). Default: with `time`, one year of steps of
        a regular record; else the cube root of the row count, rounded.
    confidence : float, optional
        ``--confidence``: of the intervals, between 0 and 1 (default 0.90).
    jackknife : bool, default False
        ``--jackknife``: also the jackknife-after-bootstrap standard error of each interval end.
    seed : int, optional
        ``--seed``: the seed of the resamples (default 0); the same seed, the same intervals.

    Returns
    -------
    Evaluation
        ``result["nse"]`` is a float64 array with the Nash-Sutcliffe efficiency of each model,
        NaN where the figure is undefined; ``result.models`` the names, ``result.observed``
        the observed series' basic figures, ``result.to_dict()`` and ``result.to_pandas()``.
        With `time`, the figures are those of the evaluation period, ``result.evaluation``
        its extent, ``result.periods`` one Period per period of `by`, ``result.skill`` the
        skill scores; with `bootstrap`, ``result.intervals`` and ``result.bootstrap``.

    Raises
    ------
    ValueError
        Series of different lengths, no model, a 0-D or many-dimensional input, too few
        observed values ("Insufficient data to make calculations. ..."), bounds with the lower
        not below the upper, an option of time or intervals the batch command refuses (with
        its message, such as ``--by: "decade" is not year, ...``), a time stamp that does not
        read or does not increase: the batch command's message where it has one.
    TypeError
        Values that are not numbers (strings, booleans, complex or dates).

    Warns
    -----
    RuntimeWarning
        A run-time error of the engine in one model (an overflow, say): that model's affected
        figures are NaN, the others stand; the message is also in ``result.messages``.

    Notes
    -----
    The engine runs without the interpreter lock: calls from several threads run at once.

    Examples
    --------
    >>> import numpy as np, quelvaris
    >>> obs = np.array([10.0, 12.5, 30.1, 22.4, 15.0, 11.2])
    >>> sim = np.column_stack([obs * 0.9, obs + 1.0])
    >>> r = quelvaris.evaluate(obs, sim, names=["scaled", "shifted"], extended=True)
    >>> r.models
    ['scaled', 'shifted']
    >>> [round(float(x), 3) for x in r["rmse"]]
    [1.832, 1.0]
    >>> float(r["pbias"][1]) > 0
    True
    """
    return _evaluate(
        observed, models, names=names, missing=missing, threshold=threshold, bounds=bounds,
        aic_bic=aic_bic, extended=extended, dim=dim, time=time, time_format=time_format,
        from_=from_, to=to, skip=skip, by=by, benchmark=benchmark,
        benchmark_from=benchmark_from, benchmark_to=benchmark_to, bootstrap=bootstrap,
        block=block, confidence=confidence, jackknife=jackknife, seed=seed)


def _evaluate(observed, models, *, names, missing, threshold, bounds, aic_bic, extended, dim,
              time, benchmark, jackknife, lines=(), shown="time", columns=None, **texts):
    # `lines`, `shown` and `columns`: a file's lines of each row, its name in messages and its
    # model columns' numbers, where the series come from one.
    observed_dims = getattr(observed, "dims", ())
    observed = _series(observed, 1, "observed")
    arrays, default_names = _models_of(models, observed_dims, dim)
    if not arrays:
        raise ValueError("At least one model is needed: column 1 holds the observed data.")
    series = [_series(m, c, "each model") for c, m in enumerate(arrays, start=2)]
    names = _model_names(names, default_names, len(series))
    _check_lengths(observed, series, names)
    if columns is None:
        columns = list(range(2, len(series) + 2))

    options = {"threshold": _number(threshold, "Threshold must be a value.")}
    if missing is not None:
        code = _number(missing, "Missing-data code must be a value.") if not (
            isinstance(missing, float) and math.isnan(missing)) else None
        options["missing_code"] = code
    if bounds is not None:
        lower, upper = _pair(bounds, "bounds")
        lower = _number(lower, "Lower bound must be a value.")
        upper = _number(upper, "Upper bound must be a value.")
        if not lower < upper:
            raise ValueError("Lower bound must be less than upper bound.")
        options.update(apply_bounds=True, lower=lower, upper=upper)
    if aic_bic is not None:
        parameters, points = _pair(aic_bic, "aic_bic")
        options.update(
            aic_bic=True,
            parameters=_count(parameters, "Parameters must be a value.",
                              "Parameters must be a positive integer greater than 2."),
            points=_count(points, "Data points must be a value.",
                          "Data points must be a positive integer greater than 2."))
    benchmarks = [] if benchmark is None else [_text(b) for b in (
        [benchmark] if isinstance(benchmark, (str, numbers.Integral)) else benchmark)]
    taken = [_benchmark_model(b, names, columns) for b in benchmarks
             if b and not _core.is_built_benchmark(b)]
    if taken:
        kept = [i for i in range(len(series)) if i not in taken]
        if not kept:
            raise ValueError("At least one model is needed: every model is a benchmark.")
        options["benchmark_columns"] = [series[i] for i in taken]
        series, names = [series[i] for i in kept], [names[i] for i in kept]
    if time is not None:
        times = _time_texts(time)
        if len(times) != len(observed):
            raise ValueError(f"time holds {len(times)} time stamps for {len(observed)} rows")
        options.update(times=times, lines=list(lines), shown=shown)
    options.update({key: _text(value) for key, value in texts.items() if value is not None})
    raw = _core.evaluate(observed, series, extended=bool(extended), benchmarks=benchmarks,
                         jackknife=bool(jackknife), **options)
    return Evaluation(raw, names)


def _text(value):
    """An option's value as the batch command's text: dates in ISO 8601, numbers as written."""
    if isinstance(value, str):
        return value
    if isinstance(value, np.datetime64):
        unit = np.datetime_data(value.dtype)[0]
        return str(np.datetime_as_string(value, unit="D" if unit in ("Y", "M", "W", "D") else "s"))
    if isinstance(value, datetime.datetime):
        return _datetime_text(value)
    if isinstance(value, datetime.date):
        return value.isoformat()
    if isinstance(value, numbers.Integral) and not isinstance(value, (bool, np.bool_)):
        return str(int(value))
    if isinstance(value, float):
        return repr(value)
    return str(value)


def _datetime_text(t):
    # The stamp on the clock it was given in: the engine applies no time zone.
    return (f"{t.year:04d}-{t.month:02d}-{t.day:02d}T{t.hour:02d}:{t.minute:02d}:"
            f"{t.second:02d}")


def _time_texts(values):
    """The time stamps as texts the engine reads: ISO 8601 for dates, the texts as given."""
    if hasattr(values, "to_numpy") and not isinstance(values, np.ndarray):
        values = values.to_numpy()  # pandas Index, Series, xarray DataArray
    array = np.asarray(values)
    if array.ndim != 1:
        raise ValueError(f"time must be one-dimensional: got {array.ndim} dimensions")
    if array.dtype.kind == "M":
        return [str(t) for t in np.datetime_as_string(array.astype("datetime64[s]"), unit="s")]
    if array.dtype.kind in "US":
        return [str(t) for t in array]
    texts = []
    for row, value in enumerate(array):
        if isinstance(value, (str, np.datetime64, datetime.date)):
            texts.append(_text(value))
        else:
            raise TypeError(f"time, row {row + 1}: {value!r} is no time stamp (a date, a "
                            "date-time or its text)")
    return texts


def _benchmark_model(text, names, columns):
    """The index of the model a benchmark names by its name or its column number."""
    if text in names:
        return names.index(text)
    if text.isdigit() and int(text) in columns:
        return columns.index(int(text))
    shown = ", ".join(f"{n} (column {c})" for n, c in zip(names, columns))
    raise ValueError(f'--benchmark {text}: no model is named or numbered so; the models are '
                     f'{shown}.')


def _pair(value, what):
    try:
        first, second = value
    except (TypeError, ValueError):
        raise TypeError(f"{what} must be a pair of numbers") from None
    return first, second


class Evaluation:
    """The figures of an evaluation: one numpy array per figure, one value per model.

    Attributes
    ----------
    models : list of str
        The model names, in the order of every figure array.
    observed : dict of str to float
        The basic figures of the observed series (``mean``, ``sd``, ... ``oob``).
    rows : int
        The length of the series.
    missing : int
        The missing observed values.
    messages : list of str
        The engine's run-time error messages, each headed by its model's name.
    evaluation : dict or None
        With a time column: the evaluation period's ``start``, ``end`` (ISO 8601 texts),
        ``rows`` and ``missing``; the figures are that period's.
    periods : list of Period
        With `by`: the figures of each period, in time order (each as an Evaluation, with its
        ``period`` label, ``start`` and ``end``).
    benchmarks : list of str
        The benchmarks, as given.
    skill : dict
        ``skill[benchmark][measure]``: each model's skill score over the benchmark, for the
        measures ``nse``, ``kge``, ``kge2009``, ``kge2012``, ``rmse``;
        ``skill[benchmark]["benchmark"][measure]`` the benchmark's own figure.
    intervals : dict
        With `bootstrap`: ``intervals[key]["low"]``, ``["high"]``, ``["se"]``,
        ``["defined_share"]`` (and ``["jackknife_se_low"]``, ``["jackknife_se_high"]``), one
        value per model.
    bootstrap : dict or None
        How the rows were resampled: ``resamples``, ``confidence``, ``block``, ``blocks``,
        ``seed``.

    Notes
    -----
    ``result[key]`` takes any key of ``result.keys()``: the basic statistics ``mean``, ``sd``,
    ``skew``, ``kurtosis``, ``min``, ``max``, ``pot``, ``oob``; the error statistics ``rmse``,
    ``msre``, ``r2``, ``r``, ``nse``, ``d``, ... ``irmse`` (``aic`` and ``bic`` when asked for);
    the extended figures ``kge2009``, ... ``fdc_fms`` when asked for. They are the batch
    command's json and csv keys (docs/batch-output.md).
    """

    def __init__(self, raw, names):
        self.models = list(names)
        self._take(raw)
        self.missing = int(raw["missing"])
        self.evaluation = raw.get("evaluation")
        self.benchmarks = list(raw.get("benchmarks", []))
        self.skill = raw.get("skill", {})
        self.periods = [Period(p, self.models, self.benchmarks) for p in raw.get("periods", [])]
        self.intervals = raw.get("intervals", {})
        self.bootstrap = raw.get("bootstrap")
        self.messages = []
        if raw["observed_fault"] is not None:
            self.messages.append("observed: " + raw["observed_fault"])
        for index, text in raw["faults"]:
            self.messages.append(f"{self.models[index]}: {text}")
        for text in self.messages:
            warnings.warn(text, RuntimeWarning, stacklevel=4)

    def _take(self, raw):
        self.rows = int(raw["rows"])
        self.observed = dict(raw["observed"])
        self._figures = raw["figures"]
        self._groups = {group: list(keys) for group, keys in raw["groups"].items()}
        self._counts = set(raw["counts"])

    def keys(self):
        """The figure keys, in the batch command's order."""
        return list(self._figures.keys())

    def __getitem__(self, key):
        try:
            return self._figures[key]
        except KeyError:
            raise KeyError(f"{key!r} is no figure of this evaluation; its figures are "
                           f"{', '.join(self._figures)}") from None

    def __contains__(self, key):
        return key in self._figures

    def __iter__(self):
        return iter(self._figures)

    def __len__(self):
        return len(self._figures)

    def __repr__(self):
        return (f"<quelvaris.Evaluation of {len(self.models)} models over {self.rows} rows, "
                f"{len(self._figures)} figures>")

    def _value(self, key, value):
        if math.isnan(value):
            return None
        return int(value) if key in self._counts else float(value)

    def _groups_of(self, m):
        return {group: {k: self._value(k, float(self._figures[k][m])) for k in keys}
                for group, keys in self._groups.items()}

    def _head(self):
        return {"start": self.evaluation["start"], "end": self.evaluation["end"],
                "rows": self.evaluation["rows"], "missing": self.evaluation["missing"]}

    def to_dict(self):
        """The figures as the batch command's json record of one file.

        Returns
        -------
        dict
            ``{"rows", "missing", "observed": {"column": 1, "name": "Obs", "basic": {...}},
            "models": [{"column": 2, "name", "basic": {...}, "errors": {...},
            "extended": {...}}, ...]}``; an undefined figure is None (json's null), counts
            are ints. With `bootstrap` also ``"bootstrap"`` and each model's ``"intervals"``;
            with a time column ``"evaluation"``, the ``"periods"`` of the observed series and
            of each model, and each model's ``"skill"`` over the benchmarks.
        """
        models = []
        for m, name in enumerate(self.models):
            record = {"column": m + 2, "name": name, **self._groups_of(m)}
            if self.intervals:
                record["intervals"] = {
                    key: {part: None if part != "defined_share" and math.isnan(v[m]) else
                          float(v[m]) for part, v in ends.items()}
                    for key, ends in self.intervals.items()}
            if self.evaluation is not None:
                record["periods"] = [{"period": p.period, **p._head(), **p._groups_of(m)}
                                     for p in self.periods]
                if self.benchmarks:
                    record["skill"] = {b: _skill_record(self.skill[b], m) for b in self.benchmarks}
            models.append(record)
        observed = {"column": 1, "name": "Obs",
                    "basic": {k: self._value(k, v) for k, v in self.observed.items()}}
        if self.evaluation is not None:
            observed["periods"] = [
                {"period": p.period, **p._head(),
                 "basic": {k: p._value(k, v) for k, v in p.observed.items()}}
                for p in self.periods]
        out = {"rows": self.rows, "missing": self.missing}
        if self.bootstrap is not None:
            out["bootstrap"] = dict(self.bootstrap)
        if self.evaluation is not None:
            out["evaluation"] = self._head()
        out.update(observed=observed, models=models)
        return out

    def _columns(self):
        # The tsv's columns of each model's row: the figures, the skill, the intervals.
        columns = dict(self._figures)
        for b in self.benchmarks:
            skill = self.skill[b]
            for kind, scores in (("_skill_", skill), ("_bench_", skill["benchmark"])):
                for measure in _measures(skill):
                    columns[measure + kind + b] = scores[measure]
        for key, ends in self.intervals.items():
            for part, values in ends.items():
                if part != "defined_share":
                    columns[f"{key}_{part}"] = values
        return columns

    def to_pandas(self):
        """The figures as a pandas DataFrame: one row per model, one column per figure key.

        Returns
        -------
        pandas.DataFrame
            Indexed by the model names (index name ``name``); undefined figures are NaN. With
            `bootstrap`, also ``<key>_low``, ``<key>_high`` and ``<key>_se``. With a time
            column, the batch command's tsv rows: each model's evaluation period (period
            ``""``) and then each period, indexed by ``(name, period)``, with
            ``period_start``, ``period_end``, ``rows`` and ``missing`` first and the skill
            ``<measure>_skill_<benchmark>`` and ``<measure>_bench_<benchmark>`` last.
        """
        import pandas

        if self.evaluation is None:
            return pandas.DataFrame(self._columns(), index=pandas.Index(self.models, name="name"))
        spans = [("", self)] + [(p.period, p) for p in self.periods]
        columns = [(span._head(), span._columns()) for _, span in spans]
        records, index = [], []
        for m, name in enumerate(self.models):
            for (label, _), (head, figures) in zip(spans, columns):
                records.append({"period_start": head["start"], "period_end": head["end"],
                                "rows": head["rows"], "missing": head["missing"],
                                **{key: values[m] for key, values in figures.items()}})
                index.append((name, label))
        return pandas.DataFrame.from_records(
            records, index=pandas.MultiIndex.from_tuples(index, names=["name", "period"]),
            columns=list(records[0]))


def _measures(scores):
    # The skill measures in the batch command's order; "benchmark" holds the benchmark's own.
    return [k for k in scores if k != "benchmark"]


def _skill_record(scores, m):
    def value(v):
        return None if math.isnan(v[m]) else float(v[m])

    record = {k: value(scores[k]) for k in _measures(scores)}
    record["benchmark"] = {k: value(scores["benchmark"][k]) for k in _measures(scores)}
    return record


class Period(Evaluation):
    """The figures of one period of a time-aware evaluation (see ``Evaluation.periods``).

    Attributes
    ----------
    period : str
        Its label: ``1991``, ``WY1992``, ``1991-DJF``, ``1991-07``, ``Jan``, ``DJF``.
    start, end : str
        The time stamps of its first and last row, ISO 8601.
    rows, missing : int
        Its rows and missing observed values. A period with too few observed values has
        every figure NaN.
    """

    def __init__(self, raw, names, benchmarks):  # pylint: disable=super-init-not-called
        self.models = list(names)
        self._take(raw)
        self.period = raw["period"]
        self.start = raw["start"]
        self.end = raw["end"]
        self.missing = int(raw["missing"])
        self.evaluation = {k: raw[k] for k in ("start", "end", "rows", "missing")}
        self.benchmarks = list(benchmarks)
        self.skill = raw["skill"]
        self.periods = []
        self.intervals = {}
        self.bootstrap = None
        self.messages = []

    def __repr__(self):
        return (f"<quelvaris.Period {self.period} of {len(self.models)} models over "
                f"{self.rows} rows>")


_DELIMITERS = {"tab": "\t", "comma": ",", "semicolon": ";", "space": " "}


def _column_list(value):
    if value is None or isinstance(value, str):
        return value
    if isinstance(value, numbers.Integral):
        return str(value)
    return ",".join(str(v) for v in value)


def read(path, *, delimiter=None, decimal_comma=None, header=None, columns=None, na=None,
         missing=-999, observed=None, models=None, time=None, max_rows=None):
    """Read a data file as the batch command does.

    The batch command's reader: any length and width, the delimiter, a decimal comma and the
    header detected from the first lines, quoted fields, missing texts (``NA``, empty, ...),
    columns chosen by name or number. Scoring what it returns gives the batch command's
    figures for that file.

    Parameters
    ----------
    path : str or os.PathLike
        The data file; ``"-"`` reads standard input.
    delimiter : {"tab", "comma", "semicolon", "space"} or str, optional
        ``--delimiter``; the character itself also works. Default: detected.
    decimal_comma : bool, optional
        ``--decimal-comma``: numbers written as ``1,5``. Default: detected with semicolons.
    header : bool, optional
        ``--header`` (True) or ``--no-header`` (False). Default: detected.
    columns : int, optional
        ``--columns``: fields per line. Default: those of the first line.
    na : str or sequence of str, optional
        ``--na``: the texts that mark a missing value (a comma-separated string or a list; an
        empty list for none). Default: empty, ``NA``, ``NaN``, ``null`` and pandas' others.
    missing : float, default -999
        ``--missing-code``: a value equal to it is missing too.
    observed : str or int, optional
        ``--observed``: the observed column by header name or 1-based number.
    models : str, int or sequence, optional
        ``--models``: the model columns by names, numbers and ranges (``"3-12"``).
    time : str or int, optional
        A column kept as text (dates, times), never scored.
    max_rows : int, optional
        ``--max-rows``: refuse a file of more data rows.

    Returns
    -------
    Table
        ``observed`` (float64 array, NaN where missing), ``models`` (list of arrays),
        ``names`` (the model names), ``observed_name``, ``times`` (list of str or None),
        ``rows``; ``table.evaluate(**options)`` scores it.

    Raises
    ------
    ValueError
        A file the reader cannot take, with the batch command's message (naming the line,
        the column and the text where that applies).

    Examples
    --------
    >>> table = quelvaris.read("examples/gauges/alder_creek.txt")  # doctest: +SKIP
    >>> table.names  # doctest: +SKIP
    ['bucket', 'lagged', 'smoothed']
    >>> table.evaluate(extended=True)["kge2012"]  # doctest: +SKIP
    """
    if delimiter is not None:
        delimiter = _DELIMITERS.get(delimiter, delimiter)
        if delimiter not in _DELIMITERS.values():
            raise ValueError("Delimiter must be tab, comma, semicolon or space.")
    if isinstance(na, str):
        na = na.split(",") if na else []
    raw = _core.read(
        os.fspath(path), delimiter=delimiter, decimal_comma=decimal_comma, header=header,
        columns=None if columns is None else int(columns), na=None if na is None else list(na),
        missing_code=_number(missing, "Missing-data code must be a value."),
        max_rows=None if max_rows is None else int(max_rows),
        observed=_column_list(observed), models=_column_list(models),
        time=_column_list(time))
    return Table(raw)


class Table:
    """A data file as the batch reader read it.

    Attributes
    ----------
    observed : numpy.ndarray
        The observed series, NaN where missing.
    models : list of numpy.ndarray
        One array per model column, NaN where missing.
    names : list of str
        The model names (the header's, else ``Mod  2``, ...).
    observed_name : str
    times : list of str or None
        The time column's text of each row, when one was read.
    rows : int
    """

    def __init__(self, raw):
        self.observed = raw["observed"]
        self.models = list(raw["models"])
        self.names = list(raw["model_names"])
        self.observed_name = raw["observed_name"]
        self.times = raw["times"]
        self.rows = int(raw["rows"])
        self._columns = list(raw["model_columns"])
        self._time_lines = list(raw["time_lines"])
        self._shown = raw["shown"]

    def evaluate(self, **options):
        """``quelvaris.evaluate(self.observed, self.models, names=self.names, **options)``.

        The time column read (``read(path, time=...)``) gives the time stamps of any option
        of time (`by`, `from_`, `benchmark`, ...), and a benchmark may name a model by its
        column number in the file; the messages name the file's lines, as the batch
        command's do.
        """
        unknown = sorted(set(options) - set(_EVALUATE_DEFAULTS))
        if unknown:
            raise TypeError(f"evaluate() got an unexpected keyword argument {unknown[0]!r}")
        keywords = {**_EVALUATE_DEFAULTS, "names": self.names, **options}
        source = {"columns": self._columns}
        if self.times is not None and keywords["time"] is None and any(
                keywords[k] is not None for k in _TIME_KEYWORDS):
            keywords["time"] = self.times
            source.update(lines=self._time_lines, shown=self._shown)
        return _evaluate(self.observed, self.models, **source, **keywords)

    def __repr__(self):
        return f"<quelvaris.Table of {len(self.models)} models over {self.rows} rows>"


# evaluate()'s keywords and their defaults; those that need a time column.
_EVALUATE_DEFAULTS = {name: p.default for name, p in inspect.signature(evaluate).parameters.items()
                      if p.kind is p.KEYWORD_ONLY}
_TIME_KEYWORDS = ("time_format", "from_", "to", "skip", "by", "benchmark", "benchmark_from",
                  "benchmark_to")
