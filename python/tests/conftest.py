"""Fixtures over the build: the sample metafile, generated records and what ravelo-batch
stores for them.

The build folder is the one VETRA_BUILD_DIR names (CTest sets it), else build/ of the source
tree; the engine library is found as the package finds it (CTest sets VETRA_LIBRARY).
"""

from __future__ import annotations

import configparser
import os
import sqlite3
import subprocess
from dataclasses import dataclass
from pathlib import Path

import pytest

SOURCE = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("VETRA_BUILD_DIR", SOURCE / "build"))
METAFILE = BUILD / "samples" / "naaccr18.rmf"
CONFIGURATION = SOURCE / "samples" / "naaccr18" / "naaccr18.ini"
LAYOUT = "NAACCR 18 Incidence"
EDIT_SETS = ("Incidence Core Edits", "Incidence Date Edits")
RECORDS = 1500
# A higher share of faulty records than the sample's, so that every kind of failure shows.
FAULT_RATE = "0.3"


@dataclass(frozen=True)
class BatchRun:
    """What ravelo-batch stored for the generated records with one set of options."""

    options: dict[str, bool]
    database: Path
    summary: Path


def configured_edit_options() -> dict[str, int]:
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str  # type: ignore[assignment,method-assign]
    parser.read(CONFIGURATION)
    return {name: int(code) for name, code in parser["EditOptions"].items()}


@pytest.fixture(scope="session")
def metafile_path() -> Path:
    if not METAFILE.exists():
        pytest.fail(f"{METAFILE} is not built")
    return METAFILE


@pytest.fixture(scope="session")
def records_file(tmp_path_factory: pytest.TempPathFactory) -> Path:
    path = tmp_path_factory.mktemp("data") / "naaccr18.txt"
    subprocess.run(
        [
            BUILD / "tools" / "naaccr_generate",
            "--records",
            str(RECORDS),
            "--seed",
            "35",
            "--fault-rate",
            FAULT_RATE,
            "--layout",
            SOURCE / "samples" / "naaccr18" / "layout.csv",
            "-o",
            path,
        ],
        check=True,
    )
    return path


@pytest.fixture(scope="session")
def record_texts(records_file: Path) -> list[str]:
    return records_file.read_text(encoding="ascii").splitlines(keepends=True)


# The configuration's options, and the opposite of each.
BATCH_OPTIONS = {
    "configured": ([], dict(skip_empty=False, skip_failed=True, suppress_warnings=True)),
    "opposite": (
        ["--skip-empty", "--no-skip-failed", "--no-suppress-warnings"],
        dict(skip_empty=True, skip_failed=False, suppress_warnings=False),
    ),
}


@pytest.fixture(scope="session", params=sorted(BATCH_OPTIONS))
def batch_run(
    request: pytest.FixtureRequest,
    tmp_path_factory: pytest.TempPathFactory,
    metafile_path: Path,
    records_file: Path,
) -> BatchRun:
    arguments, options = BATCH_OPTIONS[request.param]
    home = tmp_path_factory.mktemp(f"ravelo-{request.param}")
    results = home / "results"
    completed = subprocess.run(
        [
            BUILD / "desktop" / "ravelo-batch",
            "--config",
            CONFIGURATION,
            "--metafile",
            metafile_path,
            "--data",
            records_file,
            "--results",
            results,
            "--jobs",
            "1",
            *arguments,
        ],
        env={**os.environ, "RAVELO_HOME": str(home)},
        capture_output=True,
        text=True,
    )
    assert completed.returncode == 1, completed.stderr  # some records fail
    return BatchRun(options, results / "errors.db", results / "summary.txt")


def stored_rows(database: Path, query: str) -> list[tuple[object, ...]]:
    with sqlite3.connect(database) as connection:
        return list(connection.execute(query))
