"""The package's failures are, row for row, what ravelo-batch stores for the same records
with the same options: from record texts, from item mappings and from a data frame."""

from __future__ import annotations

from collections.abc import Iterable

import pandas
import pytest
from conftest import EDIT_SETS, LAYOUT, BatchRun, configured_edit_options, stored_rows

import vetra


def database_tables(
    failures_by_record: Iterable[tuple[int, list[vetra.Failure]]]
) -> dict[str, list[tuple[object, ...]]]:
    """The rows ravelo-batch would store for these failures (record numbers from 1)."""
    tables: dict[str, list[tuple[object, ...]]] = {
        "errorrecs": [],
        "editfailures": [],
        "editfields": [],
        "editerrors": [],
    }
    failed_edit = message = 0
    for record, failures in failures_by_record:
        for edit_set in EDIT_SETS:
            of_set = [failure for failure in failures if failure.edit_set == edit_set]
            if of_set:
                tables["errorrecs"].append((record, len(of_set)))
            last_edit = -1
            for failure in of_set:
                if failure.edit_index != last_edit:
                    failed_edit += 1
                    last_edit = failure.edit_index
                    tables["editfailures"].append((failed_edit, record, failure.edit))
                    tables["editfields"] += [
                        (failed_edit, field.title, field.shown_value) for field in failure.fields
                    ]
                message += 1
                tables["editerrors"].append((message, failed_edit, failure.text, failure.type))
    return tables


def stored_tables(run: BatchRun) -> dict[str, list[tuple[object, ...]]]:
    return {
        "errorrecs": stored_rows(
            run.database, "SELECT recnum, errcount FROM errorrecs ORDER BY rowid"
        ),
        "editfailures": stored_rows(run.database, "SELECT * FROM editfailures ORDER BY rowid"),
        "editfields": stored_rows(
            run.database,
            "SELECT failededitid, field_title, field_value FROM editfields ORDER BY rowid",
        ),
        "editerrors": stored_rows(run.database, "SELECT * FROM editerrors ORDER BY rowid"),
    }


def stored_csv_lines(run: BatchRun) -> list[tuple[object, ...]]:
    """The CSV report's lines without identification values: one per message and field."""
    return stored_rows(
        run.database,
        "SELECT f.recnum, f.editname, e.msg_type, e.msg, d.field_title, d.field_value "
        "FROM editfailures f JOIN editerrors e ON e.failededitid = f.failededitid "
        "JOIN editfields d ON d.failededitid = f.failededitid "
        "ORDER BY f.failededitid, e.rowid, d.rowid",
    )


def stored_summary(run: BatchRun) -> list[tuple[object, ...]]:
    lines = run.summary.read_text().splitlines()
    return [(line.split(",", 3)[3], *map(int, line.split(",", 3)[:3])) for line in lines]


@pytest.fixture(scope="module")
def checker(metafile_path, batch_run):
    with vetra.Metafile(metafile_path) as metafile:
        yield metafile.checker(
            LAYOUT, EDIT_SETS, edit_options=configured_edit_options(), **batch_run.options
        )


def item_mappings(checker: vetra.Checker, texts: list[str]) -> list[dict[object, str]]:
    """Each record as items: by naaccrId where the field has one, else by item number."""
    return [
        {
            (field.naaccr_id or field.item): text[
                field.column - 1 : field.column - 1 + field.length
            ]
            for field in checker.fields
        }
        for text in texts
    ]


def test_record_texts_give_the_stored_rows(checker, batch_run, record_texts):
    found = database_tables(checker.check_records(record_texts, start=1))
    stored = stored_tables(batch_run)
    assert stored["editerrors"], "the generated records should fail some edits"
    for table in stored:
        assert found[table] == stored[table], table


def test_item_mappings_and_single_checks_give_the_stored_rows(checker, batch_run, record_texts):
    mappings = item_mappings(checker, record_texts)
    found = database_tables(
        (number, checker.check(mapping)) for number, mapping in enumerate(mappings, 1)
    )
    assert found == stored_tables(batch_run)


def test_a_frame_gives_the_stored_csv_lines_and_summary(checker, batch_run, record_texts):
    frame = pandas.DataFrame(
        item_mappings(checker, record_texts), index=range(1, len(record_texts) + 1)
    )
    result = checker.check_frame(frame)
    lines = list(
        result.failures[["record", "edit", "type", "message", "field", "value"]].itertuples(
            index=False, name=None
        )
    )
    assert lines == stored_csv_lines(batch_run)
    counts = list(
        result.counts[["edit", "errors", "warnings", "skips"]].itertuples(index=False, name=None)
    )
    assert counts == stored_summary(batch_run)
    assert set(result.failures["edit_set"]) <= set(EDIT_SETS)
