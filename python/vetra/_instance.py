"""One open metafile instance of the engine: its id, its calls and its closing.

Every engine call names the instance by its id. An instance belongs to one thread at a time;
two objects of this package never share one, so each may be used on a thread of its own.
"""

from __future__ import annotations

import ctypes
import os
from typing import Any

from vetra import _library
from vetra.errors import encode, engine_error

_FORMAT_VERSION_SIZE = 32


class EngineInstance:
    """An open metafile instance; closed by :meth:`close` or when collected."""

    def __init__(self, path: str | os.PathLike[str]):
        self.path = os.fspath(path)
        self.engine = _library.engine()
        mf_id = ctypes.c_int32(-1)
        version = ctypes.create_string_buffer(_FORMAT_VERSION_SIZE)
        status = self.engine.VTx_Init(ctypes.byref(mf_id), encode(self.path), version, 0, None)
        if status != 0:
            raise engine_error("VTx_Init", status)
        self.mf_id: int = mf_id.value
        self.format_version = version.value.decode("ascii", "replace")

    @property
    def closed(self) -> bool:
        return self.mf_id < 0

    def call(self, name: str, *arguments: Any) -> None:
        """Calls entry point ``name`` with this instance's id first; raises on a failure."""
        status = getattr(self.engine, name)(self.mf_id, *arguments)
        if status != 0:
            raise engine_error(name, status, self.mf_id)

    def close(self) -> None:
        if self.mf_id < 0:
            return
        mf_id, self.mf_id = self.mf_id, -1
        status = self.engine.VTx_Exit(mf_id)
        if status != 0:
            raise engine_error("VTx_Exit", status)

    def __del__(self) -> None:
        # A forgotten instance must not stay open for the life of the process.
        try:
            self.close()
        except Exception:
            pass
