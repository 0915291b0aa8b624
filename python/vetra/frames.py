"""Checking pandas data frames: one record per row, the columns naming NAACCR items.

pandas is imported only here, and only when a frame is checked. Columns are placed by the
layout (see :mod:`vetra.placement`); read files with ``dtype=str`` and
``keep_default_na=False`` so that codes keep their leading zeros and blanks stay blank.

The failures frame has one row per message and field of the failed edit, as the CSV report
lists them (an edit that involves no fields therefore has no row there; the counts frame
still counts it): ``record`` (the row's index label), ``edit_set``, ``edit``,
``message_number``, ``type``, ``message``, ``field`` (``"name (column)"``) and ``value`` (in
square brackets, ``"[<BLANK>]"`` when empty). The counts frame has one row per distinct edit
name, sorted by name without regard to case as the run summary is: ``edit_set`` (the first
that has the edit), ``edit``, ``errors``, ``warnings`` and ``skips`` over the frame's rows.
"""

from __future__ import annotations

import multiprocessing
import threading
import warnings
from collections.abc import Hashable, Sequence
from concurrent.futures import ProcessPoolExecutor
from typing import TYPE_CHECKING, NamedTuple

from vetra.checker import Checker, CheckerSettings
from vetra.errors import UnknownItemWarning
from vetra.metafile import Field

if TYPE_CHECKING:
    import pandas

FAILURE_COLUMNS = (
    "record",
    "edit_set",
    "edit",
    "message_number",
    "type",
    "message",
    "field",
    "value",
)
COUNT_COLUMNS = ("edit_set", "edit", "errors", "warnings", "skips")


class FrameCheck(NamedTuple):
    """The result of checking a frame: the failures and the per-edit counts."""

    failures: pandas.DataFrame
    counts: pandas.DataFrame


def check_frame(
    checker: Checker,
    frame: pandas.DataFrame,
    jobs: int = 1,
    preceding: pandas.DataFrame | None = None,
) -> FrameCheck:
    """Checks every row of ``frame`` with ``checker``'s edit sets.

    Args:
        checker: the checker whose layout places the columns and whose edit sets run.
        frame: one record per row; columns named by ``naaccrId`` or item number. Columns the
            layout does not know are reported once (:class:`vetra.UnknownItemWarning`) and
            ignored; a value too long for its field raises :class:`vetra.ValueTooLongError`.
        jobs: the number of processes to check the rows in, each with a checker of its own
            made from ``checker.settings``; the results are the same for any number.
        preceding: the rows before ``frame`` in the whole data, when ``frame`` is a part of
            it (the previous partition): they bring the engine to the state checking them
            leaves (see :meth:`vetra.Checker.continue_after`) and are not reported.
    """
    if jobs < 1:
        raise ValueError(f"jobs must be at least 1, not {jobs}")
    if checker.closed:
        raise ValueError(f"the checker of {checker.settings.metafile} is closed")
    placed, unknown = checker.placer.split(frame.columns)
    if unknown:
        warnings.warn(
            f"the layout {checker.settings.layout!r} has no field for the columns "
            f"{', '.join(map(repr, unknown))}; ignored",
            UnknownItemWarning,
            stacklevel=3,
        )
    columns = [column for column, _ in placed]
    known = frame[columns]
    before = None if preceding is None else preceding[columns]
    if jobs == 1 or len(known) < 2:
        return _check_known(checker, known, before)
    parts = _split(known, min(jobs, len(known)))
    previous = [before] + parts[:-1]
    context = multiprocessing.get_context("spawn")  # no fork of a process with threads
    with ProcessPoolExecutor(max_workers=len(parts), mp_context=context) as pool:
        results = list(pool.map(check_partition, parts, [checker.settings] * len(parts), previous))
    return combine(results)


def check_partition(
    frame: pandas.DataFrame,
    settings: CheckerSettings,
    preceding: pandas.DataFrame | None = None,
) -> FrameCheck:
    """Checks a part of a frame, after the part before it (if any), with a checker made from
    ``settings`` and kept open for later parts on the same thread; what a process pool or a
    Dask worker calls."""
    return check_frame(checker_for(settings), frame, preceding=preceding)


_thread_checkers = threading.local()


def checker_for(settings: CheckerSettings) -> Checker:
    """This thread's checker for ``settings``, made on first use; an engine instance serves
    one thread at a time, so each thread has its own."""
    checkers: dict[CheckerSettings, Checker] = getattr(_thread_checkers, "checkers", None) or {}
    _thread_checkers.checkers = checkers
    checker = checkers.get(settings)
    if checker is None or checker.closed:
        checker = checkers[settings] = Checker(settings)
    return checker


def combine(results: Sequence[FrameCheck]) -> FrameCheck:
    """The result of checking the parts of a frame, given in the frame's order."""
    import pandas

    if not results:
        raise ValueError("no results to combine")
    failures = pandas.concat([result.failures for result in results], ignore_index=True)
    counts = results[0].counts.copy()
    for result in results[1:]:
        for column in ("errors", "warnings", "skips"):
            counts[column] += result.counts[column].to_numpy()
    return FrameCheck(failures, counts)


def _split(frame: pandas.DataFrame, parts: int) -> list[pandas.DataFrame]:
    size, extra = divmod(len(frame), parts)
    bounds = [0]
    for part in range(parts):
        bounds.append(bounds[-1] + size + (1 if part < extra else 0))
    return [frame.iloc[bounds[i] : bounds[i + 1]] for i in range(parts)]


def _check_known(
    checker: Checker, frame: pandas.DataFrame, preceding: pandas.DataFrame | None
) -> FrameCheck:
    """Checks a frame whose columns all name fields of the layout."""
    import pandas

    placed, _ = checker.placer.split(frame.columns)
    if preceding is not None:
        checker.continue_after(_PlacedRows(checker, placed, preceding))
    before = checker.edit_counts()
    rows: list[tuple[object, ...]] = []
    for label, values in zip(frame.index, frame.itertuples(index=False, name=None)):
        record = checker.placer.place(placed, values)
        for failure in checker.check(record):
            for field in failure.fields:
                rows.append(
                    (
                        label,
                        failure.edit_set,
                        failure.edit,
                        failure.message_number,
                        failure.type,
                        failure.text,
                        field.title,
                        field.shown_value,
                    )
                )
    failures = pandas.DataFrame.from_records(rows, columns=list(FAILURE_COLUMNS))
    if not rows:
        failures["record"] = failures["record"].astype(frame.index.dtype)
        failures["message_number"] = failures["message_number"].astype("int64")
    return FrameCheck(failures, _counts(before, checker.edit_counts()))


class _PlacedRows(Sequence[bytes]):
    """The rows of a frame as records, each placed when asked for."""

    def __init__(
        self, checker: Checker, placed: list[tuple[Hashable, Field]], frame: pandas.DataFrame
    ):
        self._placer = checker.placer
        self._placed = placed
        self._frame = frame

    def __len__(self) -> int:
        return len(self._frame)

    def __getitem__(self, index: int) -> bytes:  # type: ignore[override]
        return self._placer.place(self._placed, self._frame.iloc[index].tolist())


def _counts(
    before: list[tuple[str, str, int, int, int]], after: list[tuple[str, str, int, int, int]]
) -> pandas.DataFrame:
    import pandas

    seen: set[str] = set()
    rows: list[tuple[str, str, int, int, int]] = []
    for (edit_set, edit, *old), (_, _, *new) in zip(before, after):
        if edit in seen:
            continue
        seen.add(edit)
        rows.append((edit_set, edit, *(n - o for n, o in zip(new, old))))  # type: ignore[misc]
    rows.sort(key=lambda row: row[1].lower())
    return pandas.DataFrame.from_records(rows, columns=list(COUNT_COLUMNS))
