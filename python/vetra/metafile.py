"""A metafile's catalogue: its record layouts with their fields, its edit sets with their
edits, and the checkers that run those edits on records."""

from __future__ import annotations

import ctypes
import os
import weakref
from collections.abc import Iterable, Mapping
from dataclasses import dataclass
from types import TracebackType
from typing import TYPE_CHECKING

from vetra._instance import EngineInstance
from vetra.errors import decode, encode

if TYPE_CHECKING:
    from vetra.checker import Checker

_NAME_SIZE = 256
_FIELD_TEXT_SIZE = 80  # each name and the type code of a layout field
_DESCRIPTION_SIZE = 10000  # a stored edit text holds at most 9999 characters
_COPY_UNCHANGED = 2  # description mode: the stored text as it is, not wrapped


@dataclass(frozen=True, slots=True)
class Layout:
    """A record layout: its name and the length of its records (its last field's end)."""

    name: str
    record_length: int


@dataclass(frozen=True, slots=True)
class Field:
    """A field of a record layout.

    Attributes:
        name: the field's (short) name, as reports show it.
        long_name: the dictionary's long name.
        naaccr_id: the NAACCR XML ``naaccrId`` (the dictionary's third name); may be empty.
        item: the NAACCR item number (the field's local number in the metafile).
        column: the first column, counted from 1.
        length: the number of characters.
        type: the type code, such as ``"C"`` or ``"D1"``.
    """

    name: str
    long_name: str
    naaccr_id: str
    item: int
    column: int
    length: int
    type: str


@dataclass(frozen=True, slots=True)
class Edit:
    """An edit of an edit set: its name and its description text."""

    name: str
    description: str


class Metafile:
    """An open metafile (``.rmf``); use it as a context manager or call :meth:`close`.

    Listing layouts, fields and edits uses an engine instance of the metafile's own; each
    checker opens another, so a checker may run on a thread of its own. Closing the metafile
    closes its checkers.
    """

    def __init__(self, path: str | os.PathLike[str]):
        self._instance = EngineInstance(path)
        self._fields: dict[str, tuple[Field, ...]] = {}
        self._edits: dict[str, tuple[Edit, ...]] = {}
        self._checkers: weakref.WeakSet[Checker] = weakref.WeakSet()

    @property
    def path(self) -> str:
        return self._instance.path

    @property
    def format_version(self) -> str:
        """The metafile's format version text."""
        return self._instance.format_version

    @property
    def closed(self) -> bool:
        return self._instance.closed

    def _open(self) -> EngineInstance:
        if self._instance.closed:
            raise ValueError(f"the metafile {self.path} is closed")
        return self._instance

    @property
    def layouts(self) -> tuple[Layout, ...]:
        """The record layouts, in catalogue order."""
        return read_layouts(self._open())

    @property
    def edit_sets(self) -> tuple[str, ...]:
        """The names of the edit sets, in catalogue order."""
        instance = self._open()
        count = ctypes.c_int32()
        instance.call("VTx_GetEditSetCount", ctypes.byref(count))
        names = []
        for ordinal in range(1, count.value + 1):
            name = ctypes.create_string_buffer(_NAME_SIZE)
            instance.call("VTx_GetEditSetName", ordinal, name)
            names.append(decode(name.value))
        return tuple(names)

    def layout(self, name: str) -> Layout:
        """The layout of that name (compared without regard to case); ``KeyError`` if none."""
        for layout in self.layouts:
            if layout.name.casefold() == name.casefold():
                return layout
        raise KeyError(f"the metafile {self.path} has no record layout {name!r}")

    def fields(self, layout: str) -> tuple[Field, ...]:
        """The fields of a record layout, in the layout's order."""
        if layout not in self._fields:
            self._fields[layout] = self._read_fields(self.layout(layout).name)
        return self._fields[layout]

    def _read_fields(self, layout: str) -> tuple[Field, ...]:
        instance = self._open()
        record = ctypes.c_int32()
        instance.call("VTx_AllocRecord", self.largest_record_length(), ctypes.byref(record))
        try:
            instance.call("VTx_InitRecordLayout", record, encode(layout))
            count = ctypes.c_int32()
            instance.call("VTx_GetRecordLayoutInit", encode(layout), ctypes.byref(count))
            fields = [next_layout_field(instance)[0] for _ in range(count.value)]
            instance.call("VTx_FreeRecordLayout", encode(layout))
        finally:
            instance.engine.VTx_FreeRecord(instance.mf_id, record)
        return tuple(fields)

    def largest_record_length(self) -> int:
        """The longest record of all layouts: the size of the record buffer runs use."""
        return largest_record_length(self.layouts)

    def edits(self, edit_set: str) -> tuple[Edit, ...]:
        """The edits of an edit set, in run order, with their descriptions."""
        if edit_set not in self._edits:
            self._edits[edit_set] = self._read_edits(edit_set)
        return self._edits[edit_set]

    def _read_edits(self, edit_set: str) -> tuple[Edit, ...]:
        instance = self._open()
        handle, load_status, size = ctypes.c_int32(), ctypes.c_int32(), ctypes.c_int32()
        instance.call(
            "VTx_LoadEditSet", ctypes.byref(handle), encode(edit_set), ctypes.byref(load_status), 0
        )
        instance.call("VTx_GetEditSetSize", handle, ctypes.byref(size))
        edits = []
        for index in range(size.value):
            name = ctypes.create_string_buffer(_NAME_SIZE)
            instance.call("VTx_GetEditName", handle, index, name)
            description = ctypes.create_string_buffer(_DESCRIPTION_SIZE)
            length = ctypes.c_int32()
            instance.call(
                "VTx_GetEditDescript",
                handle,
                index,
                0,
                _DESCRIPTION_SIZE,
                ctypes.byref(length),
                description,
                _COPY_UNCHANGED,
            )
            edits.append(Edit(decode(name.value), decode(description.value)))
        return tuple(edits)

    def checker(
        self,
        layout: str,
        edit_sets: str | Iterable[str],
        skip_empty: bool = False,
        skip_failed: bool = True,
        suppress_warnings: bool = True,
        edit_options: Mapping[str, int] | None = None,
    ) -> Checker:
        """A checker that runs the edit sets on records of the layout, as ``ravelo-batch``
        runs them with the same options.

        Args:
            layout: the record layout's name.
            edit_sets: an edit set's name, or several, run in the order given.
            skip_empty: skip an edit when one of its fields is empty.
            skip_failed: skip a multi-field edit when one of its fields already failed a
                single-field edit of the record.
            suppress_warnings: report no warnings.
            edit_options: per-edit options by edit name, the codes of a configuration's
                ``[EditOptions]``: 8 suppress the edit, 1 skip empty, 2 skip failed, 3 both,
                0 no skips.
        """
        from vetra.checker import Checker, CheckerSettings

        self._open()
        settings = CheckerSettings.of(
            self.path,
            layout,
            edit_sets,
            skip_empty,
            skip_failed,
            suppress_warnings,
            edit_options,
        )
        checker = Checker(settings)
        self._checkers.add(checker)
        return checker

    def close(self) -> None:
        """Closes the metafile and every checker made from it."""
        for checker in list(self._checkers):
            checker.close()
        self._instance.close()

    def __enter__(self) -> Metafile:
        return self

    def __exit__(
        self,
        kind: type[BaseException] | None,
        error: BaseException | None,
        trace: TracebackType | None,
    ) -> None:
        self.close()

    def __repr__(self) -> str:
        state = "closed" if self.closed else "open"
        return f"<vetra.Metafile {self.path!r} {state}>"


def next_layout_field(instance: EngineInstance) -> tuple[Field, int]:
    """The next field of the layout walk that ``VTx_GetRecordLayoutInit`` started, with its
    field handle."""
    column, item, length, handle = (ctypes.c_int32() for _ in range(4))
    short, long_, type_, third = (ctypes.create_string_buffer(_FIELD_TEXT_SIZE) for _ in range(4))
    instance.call(
        "VTx_GetRecordLayoutField",
        ctypes.byref(column),
        ctypes.byref(item),
        short,
        long_,
        type_,
        third,
        ctypes.byref(length),
        ctypes.byref(handle),
    )
    field = Field(
        name=decode(short.value),
        long_name=decode(long_.value),
        naaccr_id=decode(third.value).rstrip(" "),
        item=item.value,
        column=column.value,
        length=length.value,
        type=decode(type_.value),
    )
    return field, handle.value


def read_layouts(instance: EngineInstance) -> tuple[Layout, ...]:
    """The record layouts of the instance's metafile, in catalogue order."""
    count = ctypes.c_int32()
    instance.call("VTx_GetRecordLayoutCount", ctypes.byref(count))
    layouts = []
    for ordinal in range(1, count.value + 1):
        name = ctypes.create_string_buffer(_NAME_SIZE)
        length = ctypes.c_int32()
        instance.call("VTx_GetRecordLayoutName", ordinal, name, ctypes.byref(length))
        layouts.append(Layout(decode(name.value), length.value))
    return tuple(layouts)


def largest_record_length(layouts: Iterable[Layout]) -> int:
    """The longest record of the layouts."""
    return max((layout.record_length for layout in layouts), default=0)
