"""Checking a frame in several processes, and on a local Dask cluster of two worker processes,
gives the results of one process."""

from __future__ import annotations

import sys
import threading
from pathlib import Path

import pandas
import pytest
from conftest import EDIT_SETS, LAYOUT, configured_edit_options

import vetra

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "examples"))


@pytest.fixture(scope="module")
def frame(metafile_path, record_texts) -> pandas.DataFrame:
    with vetra.Metafile(metafile_path) as metafile:
        fields = metafile.fields(LAYOUT)
    rows = [
        {
            field.naaccr_id: text[field.column - 1 : field.column - 1 + field.length]
            for field in fields
            if field.naaccr_id
        }
        for text in record_texts
    ]
    return pandas.DataFrame(rows, index=pandas.RangeIndex(1, len(rows) + 1, name="record"))


@pytest.fixture(scope="module")
def one_process(metafile_path, frame) -> vetra.FrameCheck:
    with vetra.Metafile(metafile_path) as metafile, metafile.checker(LAYOUT, EDIT_SETS) as checker:
        return checker.check_frame(frame)


def assert_same(result: vetra.FrameCheck, expected: vetra.FrameCheck) -> None:
    assert len(expected.failures) > 0
    pandas.testing.assert_frame_equal(result.failures, expected.failures)
    pandas.testing.assert_frame_equal(result.counts, expected.counts)


def test_jobs_give_the_results_of_one_process(metafile_path, frame, one_process):
    with vetra.Metafile(metafile_path) as metafile, metafile.checker(LAYOUT, EDIT_SETS) as checker:
        assert_same(checker.check_frame(frame, jobs=2), one_process)
        assert_same(checker.check_frame(frame, jobs=1), one_process)


@pytest.mark.parametrize("skip_empty", [False, True])
def test_parts_checked_afresh_after_their_preceding_rows_give_one_pass(
    metafile_path, frame, skip_empty
):
    """Skip-if-failed consults what earlier records left; each part, on a checker of its own,
    rebuilds that from the rows before it."""
    settings = vetra.CheckerSettings.of(
        metafile_path,
        LAYOUT,
        EDIT_SETS,
        skip_empty=skip_empty,
        edit_options=configured_edit_options(),
    )
    with vetra.Checker(settings) as checker:
        expected = checker.check_frame(frame)
    bounds = list(range(0, len(frame), 50)) + [len(frame)]
    results = []
    for start, end in zip(bounds, bounds[1:]):
        with vetra.Checker(settings) as checker:
            results.append(checker.check_frame(frame.iloc[start:end], preceding=frame.iloc[:start]))
    assert_same(vetra.frames.combine(results), expected)


def test_checkers_on_threads_give_the_results_of_one(metafile_path, frame, one_process):
    settings = vetra.CheckerSettings.of(metafile_path, LAYOUT, EDIT_SETS)
    halves = [frame.iloc[: len(frame) // 2], frame.iloc[len(frame) // 2 :]]
    results: list[vetra.FrameCheck | None] = [None, None]

    def check(part: int) -> None:
        results[part] = vetra.frames.check_partition(halves[part], settings)

    threads = [threading.Thread(target=check, args=(part,)) for part in range(2)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert_same(vetra.frames.combine(results), one_process)  # type: ignore[arg-type]


def test_the_dask_example_on_two_local_workers(metafile_path, frame, one_process, tmp_path):
    from dask.distributed import Client, LocalCluster
    from dask_check import check_dask_frame, read_records

    path = tmp_path / "records.csv"
    frame.to_csv(path)
    settings = vetra.CheckerSettings.of(metafile_path, LAYOUT, EDIT_SETS)
    cluster = LocalCluster(
        n_workers=2, threads_per_worker=1, processes=True, dashboard_address=":0"
    )
    with cluster, Client(cluster):
        records = read_records(str(path), "record", blocksize=200_000)
        assert records.npartitions > 2
        result = check_dask_frame(records, settings)
    assert_same(result, one_process)
