"""Every way a caller can go wrong gets a clear exception, never a crash."""

from __future__ import annotations

import pickle
import warnings

import pandas
import pytest
from conftest import EDIT_SETS, LAYOUT

import vetra
from vetra import _library


def test_engine_errors_carry_code_catalogue_text_and_last_error(metafile_path, tmp_path):
    with pytest.raises(vetra.EngineError) as missing:
        vetra.Metafile(tmp_path / "missing.rmf")
    assert missing.value.call == "VTx_Init" and missing.value.code > 0
    assert missing.value.message and str(missing.value.code) in str(missing.value)

    not_a_metafile = tmp_path / "text.rmf"
    not_a_metafile.write_text("not a metafile")
    with pytest.raises(vetra.EngineError):
        vetra.Metafile(not_a_metafile)

    with vetra.Metafile(metafile_path) as metafile:
        with pytest.raises(vetra.EngineError) as no_set:
            metafile.checker(LAYOUT, "No Such Edits")
        assert no_set.value.call == "VTx_LoadEditSet" and no_set.value.code == 462
        assert "edit set" in no_set.value.message
        with pytest.raises(vetra.EngineError) as no_layout:
            metafile.checker("No Such Layout", EDIT_SETS)
        assert (no_layout.value.call, no_layout.value.code) == ("VTx_InitRecordLayout", 602)
        with pytest.raises(KeyError, match="No Such Layout"):
            metafile.fields("No Such Layout")
        with pytest.raises(ValueError, match="at least one edit set"):
            metafile.checker(LAYOUT, [])
    copy = pickle.loads(pickle.dumps(no_set.value))
    assert (copy.code, str(copy)) == (462, str(no_set.value))


def test_closed_objects_refuse_use(metafile_path):
    metafile = vetra.Metafile(metafile_path)
    checker = metafile.checker(LAYOUT, EDIT_SETS)
    metafile.close()
    metafile.close()  # closing twice is harmless
    assert metafile.closed and checker.closed
    with pytest.raises(ValueError, match="is closed"):
        metafile.layouts
    with pytest.raises(ValueError, match="is closed"):
        metafile.checker(LAYOUT, EDIT_SETS)
    with pytest.raises(ValueError, match="is closed"):
        checker.check(" " * 4048)
    with pytest.raises(ValueError, match="is closed"):
        checker.check_frame(pandas.DataFrame({"sex": ["1"]}))
    with pytest.raises(ValueError, match="is closed"):
        checker.check_frame(pandas.DataFrame({"sex": ["1", "2"]}), jobs=2)


def test_bad_records_and_values_are_refused(metafile_path):
    with vetra.Metafile(metafile_path) as metafile, metafile.checker(LAYOUT, EDIT_SETS) as checker:
        with pytest.raises(TypeError, match="not int"):
            checker.check(42)  # type: ignore[arg-type]
        with pytest.raises(vetra.ValueTooLongError) as too_long:
            checker.check({"sex": "12"})
        assert too_long.value.length == 1 and "Sex (220)" in str(too_long.value)
        with pytest.raises(vetra.ValueTooLongError, match="item 220"):
            checker.check_frame(pandas.DataFrame({220: ["1", "123"]}))
        with pytest.raises(ValueError, match="jobs"):
            checker.check_frame(pandas.DataFrame({"sex": ["1"]}), jobs=0)


def test_unknown_items_are_reported_once_and_ignored(metafile_path):
    with vetra.Metafile(metafile_path) as metafile, metafile.checker(LAYOUT, EDIT_SETS) as checker:
        with pytest.warns(vetra.UnknownItemWarning, match="'favouriteColour'"):
            first = checker.check({"favouriteColour": "blue", "sex": "1"})
        with warnings.catch_warnings():
            warnings.simplefilter("error")
            assert checker.check({"favouriteColour": "red", "sex": "1"}) == first
        frame = pandas.DataFrame({"sex": ["1", "2"], "colour": ["a", "b"], 99: ["x", "y"]})
        with pytest.warns(vetra.UnknownItemWarning, match="'colour', 99") as reported:
            checker.check_frame(frame)
        assert len(reported) == 1


def test_the_library_is_looked_for_where_the_environment_says(tmp_path):
    missing = tmp_path / "libVETRA40.so"
    assert _library.library_candidates({"VETRA_LIBRARY": str(missing)}) == [str(missing)]
    with pytest.raises(vetra.LibraryNotFoundError, match="VETRA_LIBRARY"):
        _library.load_library({"VETRA_LIBRARY": str(missing)})
    not_a_library = tmp_path / "text.so"
    not_a_library.write_text("no library")
    with pytest.raises(vetra.LibraryNotFoundError):
        _library.load_library({"VETRA_LIBRARY": str(not_a_library)})
    assert _library.library_candidates({})[-1].startswith("libVETRA40.so")
