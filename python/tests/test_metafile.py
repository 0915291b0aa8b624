"""The catalogue of the sample metafile as the package lists it."""

from __future__ import annotations

import subprocess
import sys

import vetra
from conftest import EDIT_SETS, LAYOUT


def test_the_catalogue_lists_layouts_fields_and_edits(metafile_path):
    with vetra.Metafile(metafile_path) as metafile:
        assert [layout.name for layout in metafile.layouts] == [LAYOUT]
        assert metafile.layout(LAYOUT.lower()).record_length == 4048
        assert metafile.edit_sets == EDIT_SETS
        fields = {field.item: field for field in metafile.fields(LAYOUT)}
        assert len(fields) == 53
        assert fields[20] == vetra.Field(
            "Patient ID Number",
            "Patient ID Number",
            "patientIdNumber",
            20,
            fields[20].column,
            8,
            "C",
        )
        assert fields[99990001].column + fields[99990001].length - 1 == 4048
        edits = metafile.edits(EDIT_SETS[0]) + metafile.edits(EDIT_SETS[1])
        assert len({edit.name for edit in edits}) == 54
        assert all(isinstance(edit.description, str) for edit in edits)
        assert any(edit.description for edit in edits)


def test_a_checker_knows_its_layout_and_settings(metafile_path):
    with vetra.Metafile(metafile_path) as metafile:
        with metafile.checker(LAYOUT, EDIT_SETS[0]) as checker:
            assert checker.fields == metafile.fields(LAYOUT)
            assert checker.edit_sets == EDIT_SETS[:1]
            assert checker.settings.run_flags == 0x82
            assert checker.check(" " * 10) != []
        assert checker.closed


def test_pandas_is_imported_only_to_check_a_frame():
    script = "import sys, vetra; assert 'pandas' not in sys.modules"
    subprocess.run([sys.executable, "-c", script], check=True)
