"""Running edit sets on records, one record at a time, as ``ravelo-batch`` runs them.

A :class:`Checker` opens an engine instance of its own, binds one record buffer to the layout,
marks the layout's override fields, loads the edit sets with all their logic in memory and
applies the per-edit options. For each record it clears the flags, hands the record to the
engine, runs every edit set in order and reads back each message with the edit that raised
it and that edit's fields, the same texts ``ravelo-batch`` stores in ``errors.db``.
"""

from __future__ import annotations

import ctypes
import os
import re
import warnings
from collections.abc import Hashable, Iterable, Iterator, Mapping, Sequence
from dataclasses import dataclass
from types import TracebackType
from typing import TYPE_CHECKING, Union

from vetra._instance import EngineInstance
from vetra.errors import UnknownItemWarning, decode, encode, engine_error
from vetra.metafile import Field, largest_record_length, next_layout_field, read_layouts
from vetra.placement import RecordPlacer

if TYPE_CHECKING:
    import pandas

    from vetra.frames import FrameCheck

Record = Union[str, bytes, bytearray, Mapping[Hashable, object]]

SKIP_EMPTY = 0x01
SKIP_FAILED = 0x02
SUPPRESS_WARNINGS = 0x80
OVERRIDE_FIELD = 4  # field option: an override field, which skip-if-empty does not test
KEEP_OWN_OPTIONS = 512  # per-edit option code that changes nothing
KEEP_ALL_LOGIC = 1  # edit set load option: all compiled logic in memory
SUPPRESS_EDIT = 8  # per-edit option code: the edit never runs
DISABLED_EDIT = 0x100  # edit status bit: a field the edit reads is missing from the layout

_READABLE_MESSAGES = 400  # the engine keeps the first 400 messages of a run
_MESSAGE_SIZE = 2000
_EDIT_INFO_SIZE = 256
_NAME_SIZE = 256
_COLUMN_AT_END = re.compile(r" \((\d+)\)\Z")


@dataclass(frozen=True, slots=True)
class FailedField:
    """A field of a failed edit, with its value in the checked record.

    Attributes:
        name: the field's name; empty when the layout lacks the field.
        column: the field's first column, counted from 1; ``None`` when the layout lacks it.
        value: the value as messages show it; ``"<BLANK>"`` when empty, and for a date of
            format CCYYMMDD the parts spelled out (``"Y:2005 M:03 D:15"``).
        title: the field as reports name it, ``"name (column)"``.
        shown_value: the value as reports show it, in square brackets.
    """

    name: str
    column: int | None
    value: str
    title: str
    shown_value: str


@dataclass(frozen=True, slots=True)
class Failure:
    """One message of a failed edit.

    Attributes:
        edit_set: the edit set that ran the edit.
        edit: the edit's name.
        edit_index: the edit's position in its edit set, counted from 0.
        message_number: the number of the message in the metafile's message table.
        type: ``"E"`` error, ``"W"`` warning, ``"M"`` other.
        text: the message text.
        fields: the edit's fields with their values.
    """

    edit_set: str
    edit: str
    edit_index: int
    message_number: int
    type: str
    text: str
    fields: tuple[FailedField, ...]


@dataclass(frozen=True, slots=True)
class CheckerSettings:
    """Everything a checker is made from; picklable, so that another process or machine can
    make the same checker (the metafile path must be valid there)."""

    metafile: str
    layout: str
    edit_sets: tuple[str, ...]
    skip_empty: bool = False
    skip_failed: bool = True
    suppress_warnings: bool = True
    edit_options: tuple[tuple[str, int], ...] = ()

    @classmethod
    def of(
        cls,
        metafile: str | os.PathLike[str],
        layout: str,
        edit_sets: str | Iterable[str],
        skip_empty: bool = False,
        skip_failed: bool = True,
        suppress_warnings: bool = True,
        edit_options: Mapping[str, int] | None = None,
    ) -> CheckerSettings:
        sets = (edit_sets,) if isinstance(edit_sets, str) else tuple(edit_sets)
        if not sets:
            raise ValueError("a checker needs at least one edit set")
        return cls(
            os.fspath(metafile),
            layout,
            sets,
            bool(skip_empty),
            bool(skip_failed),
            bool(suppress_warnings),
            tuple((edit_options or {}).items()),
        )

    @property
    def run_flags(self) -> int:
        return (
            (SKIP_EMPTY if self.skip_empty else 0)
            | (SKIP_FAILED if self.skip_failed else 0)
            | (SUPPRESS_WARNINGS if self.suppress_warnings else 0)
        )


@dataclass(frozen=True, slots=True)
class _LoadedSet:
    name: str
    handle: int
    edit_names: tuple[str, ...]


class Checker:
    """Checks records against edit sets; made by :meth:`vetra.Metafile.checker`.

    A checker holds one engine instance and must be used by one thread at a time; checkers
    on different threads run at the same time. Use it as a context manager or call
    :meth:`close`.

    Attributes:
        settings: what the checker was made from.
        fields: the fields of the bound layout.
        record_length: the length of the record buffer (the longest layout's records).
        placer: places item values into records of the layout.
    """

    settings: CheckerSettings
    fields: tuple[Field, ...]
    record_length: int
    placer: RecordPlacer

    def __init__(self, settings: CheckerSettings):
        self.settings = settings
        # Reused from record to record, so that a record costs no allocation before a failure.
        self._count = ctypes.c_int32()
        self._count_ref = ctypes.byref(self._count)
        self._number = ctypes.c_int32()
        self._set_handle = ctypes.c_int32()
        self._edit_index = ctypes.c_int32()
        self._field_count = ctypes.c_int32()
        self._type = ctypes.create_string_buffer(2)
        self._text = ctypes.create_string_buffer(_MESSAGE_SIZE)
        self._edit_name = ctypes.create_string_buffer(_NAME_SIZE)
        self._info = ctypes.create_string_buffer(_EDIT_INFO_SIZE)
        self._templates: list[tuple[bytes, bytes]] = []
        self._reported_unknown: set[Hashable] = set()
        self._instance = EngineInstance(settings.metafile)
        self._closed = False
        try:
            self._prepare()
        except BaseException:
            self.close()
            raise

    def _prepare(self) -> None:
        instance = self._instance
        settings = self.settings
        # The buffer is as long as the longest layout's records, as the desktop program's.
        record_length = largest_record_length(read_layouts(instance))
        record = ctypes.c_int32()
        instance.call("VTx_AllocRecord", record_length, ctypes.byref(record))
        self._record = record.value
        layout = encode(settings.layout)
        instance.call("VTx_InitRecordLayout", self._record, layout)
        self.fields = self._bound_fields(layout)
        self.record_length = record_length
        self.placer = RecordPlacer(self.fields, record_length)
        self._sets = tuple(self._load(name) for name in settings.edit_sets)
        self._apply_edit_options(dict(settings.edit_options))
        self._flags = settings.run_flags
        self._carriers = self._single_field_edits()

    def _bound_fields(self, layout: bytes) -> tuple[Field, ...]:
        """The bound layout's fields; those named "Over-ride" become override fields, which
        skip-if-empty leaves untested."""
        instance = self._instance
        count = ctypes.c_int32()
        instance.call("VTx_GetRecordLayoutInit", layout, ctypes.byref(count))
        fields = []
        for _ in range(count.value):
            field, handle = next_layout_field(instance)
            if "Over-ride" in field.name:
                option = ctypes.c_int32(OVERRIDE_FIELD)
                instance.call("VTx_FieldOptions", handle, ctypes.byref(option))
            fields.append(field)
        return tuple(fields)

    def _load(self, name: str) -> _LoadedSet:
        instance = self._instance
        handle, load_status, size = ctypes.c_int32(), ctypes.c_int32(), ctypes.c_int32()
        instance.call(
            "VTx_LoadEditSet",
            ctypes.byref(handle),
            encode(name),
            ctypes.byref(load_status),
            KEEP_ALL_LOGIC,
        )
        instance.call("VTx_GetEditSetSize", handle, ctypes.byref(size))
        names = []
        for index in range(size.value):
            edit = ctypes.create_string_buffer(_NAME_SIZE)
            instance.call("VTx_GetEditName", handle, index, edit)
            names.append(decode(edit.value))
        return _LoadedSet(name, handle.value, tuple(names))

    def _apply_edit_options(self, options: dict[str, int]) -> None:
        for loaded in self._sets:
            for index, name in enumerate(loaded.edit_names):
                code = options.get(name, KEEP_OWN_OPTIONS)
                if code != KEEP_OWN_OPTIONS:
                    option = ctypes.c_int32(code)
                    self._instance.call(
                        "VTx_EditOptions", loaded.handle, index, ctypes.byref(option)
                    )

    def _single_field_edits(self) -> dict[str, list[tuple[int, int]]]:
        """The edits that may run on one field alone, by field: the ones whose verdict marks
        the field as failed for the skip-if-failed rule of later records."""
        carriers: dict[str, list[tuple[int, int]]] = {}
        name = ctypes.create_string_buffer(_NAME_SIZE)
        fields, status, options, errors, warns, skips = (ctypes.c_int32() for _ in range(6))
        for loaded in self._sets:
            for index in range(len(loaded.edit_names)):
                self._instance.call(
                    "VTx_GetEditInfoEx",
                    loaded.handle,
                    index,
                    name,
                    ctypes.byref(fields),
                    ctypes.byref(status),
                    ctypes.byref(options),
                    ctypes.byref(errors),
                    ctypes.byref(warns),
                    ctypes.byref(skips),
                )
                if fields.value != 1 or options.value == SUPPRESS_EDIT:
                    continue
                if status.value & DISABLED_EDIT:
                    continue
                title = self._edit_info(loaded.handle, index, b"%S1 %C1")
                carriers.setdefault(title, []).append((loaded.handle, index))
        return carriers

    def continue_after(self, preceding: Sequence[Record]) -> None:
        """Brings the checker to the state checking ``preceding`` in order leaves it in, so that
        the records that follow them are checked as in one pass over all.

        The engine carries one thing from record to record: which fields failed their
        single-field edits, which skip-if-failed consults, until such an edit runs on the field
        again. Going back from the last preceding record until every such field has had one
        of its edits run (not skipped for an empty field), then checking forward from there,
        rebuilds it; usually one record is enough. The failures of these records are not
        returned; :meth:`edit_counts` counts them as checked.
        """
        self._ensure_open()
        start, uncovered = len(preceding), set(self._carriers)
        while uncovered and start > 0:
            start -= 1
            before = self._single_field_skips()
            self._check_bytes(self._record_bytes(preceding[start]))
            after = self._single_field_skips()
            uncovered = {
                field
                for field in uncovered
                if all(after[edit] != before[edit] for edit in self._carriers[field])
            }
        for index in range(start, len(preceding)):
            self._check_bytes(self._record_bytes(preceding[index]))

    def _single_field_skips(self) -> dict[tuple[int, int], int]:
        fields, errors, warns, skips = (ctypes.c_int32() for _ in range(4))
        counts = {}
        for edits in self._carriers.values():
            for handle, index in edits:
                self._instance.call(
                    "VTx_GetEditCounts",
                    handle,
                    index,
                    ctypes.byref(fields),
                    ctypes.byref(errors),
                    ctypes.byref(warns),
                    ctypes.byref(skips),
                )
                counts[(handle, index)] = skips.value
        return counts

    @property
    def closed(self) -> bool:
        return self._closed

    @property
    def edit_sets(self) -> tuple[str, ...]:
        return tuple(loaded.name for loaded in self._sets)

    def check(self, record: Record) -> list[Failure]:
        """Runs the edit sets on one record.

        Args:
            record: a fixed-width record (``str``, encoded as UTF-8, or ``bytes``), or a mapping
                of NAACCR items (``naaccrId`` or item number) to values, placed by the layout.

        Returns:
            The failures, in the order the engine raised them; empty when the record passed.
        """
        return self._check_bytes(self._record_bytes(record))

    def check_records(
        self, records: Iterable[Record], start: int = 0
    ) -> Iterator[tuple[int, list[Failure]]]:
        """Checks records one after the other, yielding ``(index, failures)`` for each, the
        index counting from ``start``. Records may be texts, bytes or mappings, as for
        :meth:`check`."""
        for index, record in enumerate(records, start):
            yield index, self._check_bytes(self._record_bytes(record))

    def check_frame(
        self,
        frame: pandas.DataFrame,
        jobs: int = 1,
        preceding: pandas.DataFrame | None = None,
    ) -> FrameCheck:
        """Checks each row of a data frame whose columns name NAACCR items; see
        :func:`vetra.frames.check_frame`."""
        from vetra.frames import check_frame

        return check_frame(self, frame, jobs, preceding)

    def edit_counts(self) -> list[tuple[str, str, int, int, int]]:
        """Errors, warnings and skips of every edit since the checker was made, as
        ``(edit set, edit, errors, warnings, skips)`` in run order."""
        self._ensure_open()
        counts = []
        fields, errors, warns, skips = (ctypes.c_int32() for _ in range(4))
        for loaded in self._sets:
            for index, name in enumerate(loaded.edit_names):
                self._instance.call(
                    "VTx_GetEditCounts",
                    loaded.handle,
                    index,
                    ctypes.byref(fields),
                    ctypes.byref(errors),
                    ctypes.byref(warns),
                    ctypes.byref(skips),
                )
                counts.append((loaded.name, name, errors.value, warns.value, skips.value))
        return counts

    def _ensure_open(self) -> None:
        if self._closed:
            raise ValueError(f"the checker of {self.settings.metafile} is closed")

    def _record_bytes(self, record: Record) -> bytes:
        if isinstance(record, bytes):
            return record
        if isinstance(record, str):
            return encode(record)
        if isinstance(record, bytearray):
            return bytes(record)
        if isinstance(record, Mapping):
            data, unknown = self.placer.place_mapping(record)
            self._report_unknown(unknown)
            return data
        kind = type(record).__name__
        raise TypeError(f"a record is a text, bytes or a mapping of items to values, not {kind}")

    def _report_unknown(self, unknown: Iterable[Hashable]) -> None:
        new = [item for item in unknown if item not in self._reported_unknown]
        if new:
            self._reported_unknown.update(new)
            names = ", ".join(map(repr, new))
            warnings.warn(
                f"the layout {self.settings.layout!r} has no field for {names}; ignored",
                UnknownItemWarning,
                stacklevel=4,
            )

    def _check_bytes(self, record: bytes) -> list[Failure]:
        if self._closed:
            self._ensure_open()
        engine = self._instance.engine
        mf_id = self._instance.mf_id
        status = engine.VTx_ClearAllFlags(mf_id)
        if status != 0:
            raise engine_error("VTx_ClearAllFlags", status, mf_id)
        status = engine.VTx_UpdateRecord(mf_id, self._record, record)
        if status != 0:
            raise engine_error("VTx_UpdateRecord", status, mf_id)
        failures: list[Failure] = []
        count = self._count
        run_batch, flags, count_ref = engine.VTx_RunBatch, self._flags, self._count_ref
        for loaded in self._sets:
            status = run_batch(mf_id, loaded.handle, flags, count_ref, 0, None)
            if status != 0:
                raise engine_error("VTx_RunBatch", status, mf_id)
            if count.value:
                failures.extend(self._read_messages(loaded, count.value))
        return failures

    def _read_messages(self, loaded: _LoadedSet, count: int) -> Iterator[Failure]:
        engine = self._instance.engine
        mf_id = self._instance.mf_id
        last_edit = -1
        fields: tuple[FailedField, ...] = ()
        for number in range(1, min(count, _READABLE_MESSAGES) + 1):
            status = engine.VTx_GetMessageTextEx(
                mf_id,
                self._type,
                number,
                self._text,
                _MESSAGE_SIZE,
                ctypes.byref(self._number),
                ctypes.byref(self._set_handle),
                ctypes.byref(self._edit_index),
                self._edit_name,
                ctypes.byref(self._field_count),
            )
            if status != 0:
                raise engine_error("VTx_GetMessageTextEx", status, mf_id)
            edit_index = self._edit_index.value
            if edit_index != last_edit:
                fields = self._failed_fields(loaded.handle, edit_index, self._field_count.value)
                last_edit = edit_index
            yield Failure(
                edit_set=loaded.name,
                edit=loaded.edit_names[edit_index],
                edit_index=edit_index,
                message_number=self._number.value,
                type=decode(self._type.value[:1]),
                text=decode(self._text.value),
                fields=fields,
            )

    def _failed_fields(self, handle: int, edit_index: int, count: int) -> tuple[FailedField, ...]:
        while len(self._templates) < count:
            k = len(self._templates) + 1
            self._templates.append((f"%S{k} %C{k}".encode(), f"[%V{k}]".encode()))
        return tuple(
            self._failed_field(handle, edit_index, *self._templates[k]) for k in range(count)
        )

    def _failed_field(
        self, handle: int, edit_index: int, title_template: bytes, value_template: bytes
    ) -> FailedField:
        title = self._edit_info(handle, edit_index, title_template)
        shown = self._edit_info(handle, edit_index, value_template)
        match = _COLUMN_AT_END.search(title)
        if match:
            name, column = title[: match.start()], int(match.group(1))
        else:
            name, column = title.removesuffix(" "), None
        value = shown.removeprefix("[").removesuffix("]")
        return FailedField(name, column, value, title, shown)

    def _edit_info(self, handle: int, edit_index: int, template: bytes) -> str:
        mf_id = self._instance.mf_id
        status = self._instance.engine.VTx_GetEditInfo(
            mf_id, handle, edit_index, template, self._info, _EDIT_INFO_SIZE
        )
        if status != 0:
            raise engine_error("VTx_GetEditInfo", status, mf_id)
        return decode(self._info.value)

    def close(self) -> None:
        """Closes the checker's engine instance; later use raises ``ValueError``."""
        if not self._closed:
            self._closed = True
            self._instance.close()

    def __enter__(self) -> Checker:
        return self

    def __exit__(
        self,
        kind: type[BaseException] | None,
        error: BaseException | None,
        trace: TracebackType | None,
    ) -> None:
        self.close()

    def __repr__(self) -> str:
        state = "closed" if self._closed else "open"
        return (
            f"<vetra.Checker {self.settings.layout!r} {list(self.settings.edit_sets)!r} "
            f"of {self.settings.metafile!r} {state}>"
        )
