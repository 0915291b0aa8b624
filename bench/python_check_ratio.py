"""The Python package's check_records against the engine loop, side by side in one run.

Each round times the engine loop of a batch run (bench/engine_loop_time: read, clear the
flags, hand the record over, run every edit set) and then check_records over the same records
in this process (the same steps through ctypes, plus reading back every failure with its
fields). Prints records per second of both and their ratios, the package's overhead, per round
and as a range: of elapsed time, and of processor time, which other work on a busy machine
disturbs less.

    python3 bench/python_check_ratio.py BUILD_DIR DATAFILE [ROUNDS]
"""

from __future__ import annotations

import os
import subprocess
import sys
import time
from pathlib import Path

LAYOUT = "NAACCR 18 Incidence"
EDIT_SETS = ("Incidence Core Edits", "Incidence Date Edits")


def engine_loop_seconds(build: Path, metafile: Path, data: Path) -> tuple[float, float]:
    """Elapsed and processor seconds of the engine loop over the data file."""
    completed = subprocess.run(
        [build / "bench" / "engine_loop_time", metafile, LAYOUT, data, *EDIT_SETS],
        check=True,
        capture_output=True,
        text=True,
    )
    elapsed, processor = completed.stdout.split()
    return float(elapsed), float(processor)


def check_records_seconds(metafile: Path, data: Path) -> tuple[float, float, int, int]:
    """Elapsed and processor seconds, records and failures of check_records over the file."""
    import vetra

    with data.open("rb") as file:
        record_length = len(file.readline())
    with vetra.Metafile(metafile) as opened, opened.checker(LAYOUT, EDIT_SETS) as checker:
        records = failures = 0
        start, processor_start = time.perf_counter(), time.process_time()
        with data.open("rb") as file:
            for _, found in checker.check_records(iter(lambda: file.read(record_length), b"")):
                records += 1
                failures += len(found)
        return (
            time.perf_counter() - start,
            time.process_time() - processor_start,
            records,
            failures,
        )


def main(arguments: list[str]) -> int:
    if len(arguments) < 2:
        print(__doc__.split("\n\n")[-1].strip(), file=sys.stderr)
        return 2
    build, data = Path(arguments[0]).resolve(), Path(arguments[1]).resolve()
    rounds = int(arguments[2]) if len(arguments) > 2 else 3
    os.environ.setdefault("VETRA_LIBRARY", str(build / "lib" / "libVETRA40.so"))
    sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "python"))
    metafile = build / "samples" / "naaccr18.rmf"
    elapsed_ratios, processor_ratios = [], []
    for round_number in range(1, rounds + 1):
        engine, engine_processor = engine_loop_seconds(build, metafile, data)
        package, package_processor, records, failures = check_records_seconds(metafile, data)
        elapsed_ratios.append(package / engine)
        processor_ratios.append(package_processor / engine_processor)
        print(
            f"round {round_number}: engine loop {records / engine:7.0f} records/s, "
            f"check_records {records / package:7.0f} records/s ({failures} failures); "
            f"ratio {package / engine:.2f}x elapsed, "
            f"{package_processor / engine_processor:.2f}x processor time"
        )
    for kind, ratios in (("elapsed", elapsed_ratios), ("processor time", processor_ratios)):
        print(
            f"check_records / engine loop, {kind}: {min(ratios):.2f}x to {max(ratios):.2f}x "
            f"over {rounds} rounds  (target at most 1.30x)"
        )
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
