"""Finding and loading the engine library, and the C signatures of the entry points used.

The engine is ``libVETRA40.so``. It is looked for, in this order:

1. the file the environment variable ``VETRA_LIBRARY`` names (when set, it must exist);
2. the package's own folder (a copy shipped beside these modules);
3. ``build/lib/`` of the source tree this package sits in (a developer's build);
4. the system's library path (``ldconfig``'s cache, ``LD_LIBRARY_PATH``).

The library is loaded once per process and shared by every metafile instance.
"""

from __future__ import annotations

import ctypes
import ctypes.util
import os
import threading
from collections.abc import Mapping
from pathlib import Path
from typing import Final

ENVIRONMENT_VARIABLE: Final = "VETRA_LIBRARY"
LIBRARY_FILE: Final = "libVETRA40.so"

_PACKAGE_FOLDER: Final = Path(__file__).resolve().parent
_SOURCE_BUILD_FOLDER: Final = _PACKAGE_FOLDER.parent.parent / "build" / "lib"

i32 = ctypes.c_int32
i32_p = ctypes.POINTER(ctypes.c_int32)
text = ctypes.c_char_p
no_callback = ctypes.c_void_p  # the package passes no callbacks: always None

# Argument types of each entry point the package calls; every one returns int32_t.
_SIGNATURES: Final[dict[str, tuple[object, ...]]] = {
    "VTx_Init": (i32_p, text, text, ctypes.c_ssize_t, no_callback),
    "VTx_Exit": (i32,),
    "VTx_GetLastEngineError": (i32,),
    "VTx_GetVersion": (text, i32),
    "VTx_AllocRecord": (i32, i32, i32_p),
    "VTx_FreeRecord": (i32, i32),
    "VTx_UpdateRecord": (i32, i32, text),
    "VTx_GetRecordLayoutCount": (i32, i32_p),
    "VTx_GetRecordLayoutName": (i32, i32, text, i32_p),
    "VTx_InitRecordLayout": (i32, i32, text),
    "VTx_FreeRecordLayout": (i32, text),
    "VTx_GetRecordLayoutInit": (i32, text, i32_p),
    "VTx_GetRecordLayoutField": (i32, i32_p, i32_p, text, text, text, text, i32_p, i32_p),
    "VTx_FieldOptions": (i32, i32, i32_p),
    "VTx_GetEditSetCount": (i32, i32_p),
    "VTx_GetEditSetName": (i32, i32, text),
    "VTx_LoadEditSet": (i32, i32_p, text, i32_p, i32),
    "VTx_GetEditSetSize": (i32, i32, i32_p),
    "VTx_GetEditName": (i32, i32, i32, text),
    "VTx_GetEditDescript": (i32, i32, i32, i32, i32, i32_p, text, i32),
    "VTx_EditOptions": (i32, i32, i32, i32_p),
    "VTx_GetEditCounts": (i32, i32, i32, i32_p, i32_p, i32_p, i32_p),
    "VTx_GetEditInfo": (i32, i32, i32, text, text, i32),
    "VTx_GetEditInfoEx": (i32, i32, i32, text, i32_p, i32_p, i32_p, i32_p, i32_p, i32_p),
    "VTx_ClearAllFlags": (i32,),
    "VTx_RunBatch": (i32, i32, i32, i32_p, ctypes.c_ssize_t, no_callback),
    "VTx_GetMessageText": (i32, text, i32, text, i32),
    "VTx_GetMessageTextEx": (i32, text, i32, text, i32, i32_p, i32_p, i32_p, text, i32_p),
    "VTerr_GetEngineErrorMessage": (i32, text, i32, text, i32),
}


class LibraryNotFoundError(OSError):
    """The engine library could not be found or loaded."""


def library_candidates(environment: Mapping[str, str]) -> list[str]:
    """The paths or names to try, in order, for the given environment.

    When ``VETRA_LIBRARY`` is set it is the only candidate: a host that names a library
    means that one, and silently loading another would hide the mistake.
    """
    named = environment.get(ENVIRONMENT_VARIABLE, "")
    if named:
        return [named]
    candidates = [str(_PACKAGE_FOLDER / LIBRARY_FILE), str(_SOURCE_BUILD_FOLDER / LIBRARY_FILE)]
    candidates = [path for path in candidates if Path(path).exists()]
    candidates.append(LIBRARY_FILE)
    system_name = ctypes.util.find_library("VETRA40")
    if system_name and system_name not in candidates:
        candidates.append(system_name)
    return candidates


def load_library(environment: Mapping[str, str] | None = None) -> ctypes.CDLL:
    """Loads the engine from the first candidate that loads, with its signatures declared."""
    candidates = library_candidates(os.environ if environment is None else environment)
    failures: list[str] = []
    for candidate in candidates:
        if os.sep in candidate and not Path(candidate).is_file():
            failures.append(f"{candidate}: no such file")
            continue
        try:
            library = ctypes.CDLL(candidate)
        except OSError as error:
            failures.append(str(error))
            continue
        _declare(library)
        return library
    raise LibraryNotFoundError(
        f"cannot load the engine library {LIBRARY_FILE} (set {ENVIRONMENT_VARIABLE} to its "
        "path): " + "; ".join(failures)
    )


def _declare(library: ctypes.CDLL) -> None:
    for name, arguments in _SIGNATURES.items():
        function = getattr(library, name)
        function.argtypes = arguments
        function.restype = ctypes.c_int32


_loaded: ctypes.CDLL | None = None
_loading = threading.Lock()


def engine() -> ctypes.CDLL:
    """The process's engine library, loaded on first use."""
    global _loaded
    if _loaded is None:
        with _loading:
            if _loaded is None:
                _loaded = load_library()
    return _loaded
