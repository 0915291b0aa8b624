"""Checking NAACCR records against the edits of a metafile, through the VETRA40 engine.

    import vetra

    with vetra.Metafile("naaccr18.rmf") as metafile:
        checker = metafile.checker("NAACCR 18 Incidence", ["Incidence Core Edits"])
        failures = checker.check(record_text)            # one record
        for index, failures in checker.check_records(lines):  # many
            ...
        result = checker.check_frame(data_frame)         # a pandas frame
        result.failures, result.counts

The engine library is found through the environment variable ``VETRA_LIBRARY``, the
package's folder, the source tree's ``build/lib`` or the system's library path.

Threads: an engine instance serves one thread at a time. Each :class:`Checker` has an
instance of its own, so checkers may run on different threads at once (the engine releases
the GIL while it runs); one checker must not be shared by threads running at the same time.
"""

from vetra._library import LibraryNotFoundError
from vetra.checker import Checker, CheckerSettings, FailedField, Failure
from vetra.errors import EngineError, UnknownItemWarning, ValueTooLongError
from vetra.frames import FrameCheck
from vetra.metafile import Edit, Field, Layout, Metafile

__all__ = [
    "Checker",
    "CheckerSettings",
    "Edit",
    "EngineError",
    "FailedField",
    "Failure",
    "Field",
    "FrameCheck",
    "Layout",
    "LibraryNotFoundError",
    "Metafile",
    "UnknownItemWarning",
    "ValueTooLongError",
]
