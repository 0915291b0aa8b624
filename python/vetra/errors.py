"""The exceptions and warnings of the package.

Every failed engine call becomes one :class:`EngineError`, which carries the engine's code,
the code's text from the engine's error catalogue and the instance's last engine error text
(which often says more, such as which field an edit set lacks). Mistakes in what a caller
hands over are ordinary Python exceptions: :class:`ValueTooLongError` (a ``ValueError``) and
``KeyError``, ``TypeError`` or ``ValueError`` for other bad input.
"""

from __future__ import annotations

import ctypes

from vetra import _library

_CATALOGUE_MESSAGE_SIZE = 256
_CATALOGUE_FUNCTION_SIZE = 64
_LAST_ERROR_TEXT_SIZE = 2000


class EngineError(Exception):
    """An engine call failed.

    Attributes:
        code: the engine's result code (-2 a metafile id that names no open metafile, -3 an
            undocumented failure, otherwise a row of the error catalogue).
        message: the catalogue's text for the code.
        function: the engine operation the catalogue names for the code.
        last_error: the instance's last engine error text, empty when it has none.
        call: the entry point that failed, such as ``"VTx_LoadEditSet"``.
    """

    def __init__(self, call: str, code: int, message: str, function: str, last_error: str):
        self.call = call
        self.code = code
        self.message = message
        self.function = function
        self.last_error = last_error
        text = f"{call} failed with engine error {code}"
        if message:
            text += f": {message}"
        if last_error and last_error != message:
            text += f" ({last_error})"
        super().__init__(text)

    def __reduce__(self) -> tuple[type[EngineError], tuple[str, int, str, str, str]]:
        return type(self), (self.call, self.code, self.message, self.function, self.last_error)


class ValueTooLongError(ValueError):
    """A value does not fit the field of the record layout it is placed in."""

    def __init__(self, item: str, value: str, size: int, field: str, length: int):
        self.item = item
        self.value = value
        self.size = size
        self.field = field
        self.length = length
        super().__init__(
            f"the value {value!r} of {item} has {size} characters; "
            f"its field {field} has {length}"
        )

    def __reduce__(self) -> tuple[type[ValueTooLongError], tuple[str, str, int, str, int]]:
        return type(self), (self.item, self.value, self.size, self.field, self.length)


class UnknownItemWarning(UserWarning):
    """Items (columns or mapping keys) that name no field of the record layout; ignored."""


def catalogue_entry(code: int) -> tuple[str, str]:
    """The catalogue's message text and function name for an engine code."""
    message = ctypes.create_string_buffer(_CATALOGUE_MESSAGE_SIZE)
    function = ctypes.create_string_buffer(_CATALOGUE_FUNCTION_SIZE)
    status = _library.engine().VTerr_GetEngineErrorMessage(
        code, message, _CATALOGUE_MESSAGE_SIZE, function, _CATALOGUE_FUNCTION_SIZE
    )
    if status != 0:
        return "", ""
    return decode(message.value), decode(function.value)


def last_error_text(mf_id: int) -> str:
    """The instance's last engine error text; empty when it has none or is not open."""
    kind = ctypes.create_string_buffer(2)
    buffer = ctypes.create_string_buffer(_LAST_ERROR_TEXT_SIZE)
    status = _library.engine().VTx_GetMessageText(mf_id, kind, -1, buffer, _LAST_ERROR_TEXT_SIZE)
    return decode(buffer.value) if status == 0 else ""


def engine_error(call: str, code: int, mf_id: int | None = None) -> EngineError:
    """The exception for ``call`` having returned ``code`` on instance ``mf_id`` (if any)."""
    message, function = catalogue_entry(code)
    last_error = last_error_text(mf_id) if mf_id is not None and mf_id >= 0 else ""
    return EngineError(call, code, message, function, last_error)


def decode(raw: bytes) -> str:
    """An engine text as ``str``: UTF-8, other bytes kept as surrogate escapes."""
    return raw.decode("utf-8", "surrogateescape")


def encode(value: str) -> bytes:
    """A ``str`` as the engine's 8-bit text, the inverse of :func:`decode`."""
    return value.encode("utf-8", "surrogateescape")
