"""Checks a CSV file of NAACCR records too large for one machine on a Dask cluster.

Each row of the file is a record; its columns name NAACCR items (``naaccrId`` or item
number), and one column numbers the records. Dask splits the file into partitions; every
worker checks the partitions it is given with a checker of its own, kept for later partitions,
and the client gathers the failures and adds up the per-edit counts. Every worker needs the
``vetra`` package, the engine library and the metafile at the same path.

    python3 dask_check.py naaccr18.rmf "NAACCR 18 Incidence" records.csv \\
        --edit-set "Incidence Core Edits" --edit-set "Incidence Date Edits" \\
        --scheduler tcp://scheduler:8786 --failures failures.csv --counts counts.csv

Without ``--scheduler`` it starts a cluster of two local worker processes.
"""

from __future__ import annotations

import argparse
import sys
import warnings

import dask
import dask.dataframe
import pandas
from dask.distributed import Client, LocalCluster

import vetra
from vetra.frames import check_partition, combine


def read_records(path: str, index: str, blocksize: str | int = "64MB") -> dask.dataframe.DataFrame:
    """The CSV file as a Dask frame indexed by its record numbers; every item is read as
    text, so that codes keep their leading zeros and blanks stay blank."""
    columns = pandas.read_csv(path, nrows=0).columns
    types = {column: str for column in columns if column != index}
    frame = dask.dataframe.read_csv(
        path, dtype={**types, index: "int64"}, keep_default_na=False, blocksize=blocksize
    )
    return frame.set_index(index, sorted=True)


def check_dask_frame(
    frame: dask.dataframe.DataFrame, settings: vetra.CheckerSettings
) -> vetra.FrameCheck:
    """Checks every partition on the cluster and combines the results in partition order;
    they are those of one process checking the whole frame.

    Columns the layout does not know are reported here, once, and left out, so that the
    workers see only items they place.
    """
    with vetra.Checker(settings) as checker:
        placed, unknown = checker.placer.split(frame.columns)
    if unknown:
        warnings.warn(
            f"the layout has no field for the columns {', '.join(map(repr, unknown))}; ignored",
            vetra.UnknownItemWarning,
        )
    known = frame[[column for column, _ in placed]]
    partitions = known.to_delayed()
    # Each partition is checked after the one before it, as one pass over the file would.
    previous = [None] + partitions[:-1]
    parts = [
        dask.delayed(check_partition)(part, settings, before)
        for part, before in zip(partitions, previous)
    ]
    return combine(dask.compute(*parts))


def main(arguments: list[str]) -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("metafile")
    parser.add_argument("layout")
    parser.add_argument("data", help="CSV file, one record a row")
    parser.add_argument("--edit-set", action="append", required=True)
    parser.add_argument("--index", default="record", help="the column numbering the records")
    parser.add_argument("--scheduler", help="address of the cluster's scheduler")
    parser.add_argument("--failures", default="failures.csv")
    parser.add_argument("--counts", default="counts.csv")
    options = parser.parse_args(arguments)

    settings = vetra.CheckerSettings.of(options.metafile, options.layout, options.edit_set)
    if options.scheduler:
        client = Client(options.scheduler)
    else:
        client = Client(LocalCluster(n_workers=2, threads_per_worker=1, processes=True))
    with client:
        result = check_dask_frame(read_records(options.data, options.index), settings)
    result.failures.to_csv(options.failures, index=False)
    result.counts.to_csv(options.counts, index=False)
    print(
        f"{result.failures['record'].nunique()} records failed; "
        f"{len(result.failures)} lines in {options.failures}"
    )
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
