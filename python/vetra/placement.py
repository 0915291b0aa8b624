"""Records built from item values: each value placed in its field by the record layout.

Items are named by NAACCR ``naaccrId`` (the layout's third name of the field) or by item
number (an ``int``, or a text of digits). A value is placed left-justified and padded with
blanks, as the NAACCR XML reader places an item; columns that no item fills stay blank. A
missing value (``None``, NaN, ``pandas.NA``) leaves its field blank.
"""

from __future__ import annotations

import math
from collections.abc import Hashable, Iterable, Mapping, Sequence

from vetra.errors import ValueTooLongError, encode
from vetra.metafile import Field


def is_missing(value: object) -> bool:
    """True for ``None``, a float NaN and pandas' missing-value markers."""
    if value is None:
        return True
    if isinstance(value, float):
        return math.isnan(value)
    return type(value).__name__ in ("NAType", "NaTType")


class RecordPlacer:
    """Places item values into fixed-width records of one layout."""

    def __init__(self, fields: Sequence[Field], record_length: int):
        self._by_id: dict[str, Field] = {}
        self._by_item: dict[int, Field] = {}
        for field in fields:
            if field.naaccr_id:
                self._by_id.setdefault(field.naaccr_id, field)
            self._by_item.setdefault(field.item, field)
        self._blank = b" " * record_length

    def field_for(self, item: Hashable) -> Field | None:
        """The field an item name or number places into; ``None`` when the layout has none."""
        if isinstance(item, bool):
            return None
        if isinstance(item, int):
            return self._by_item.get(item)
        if isinstance(item, str):
            if item.isdigit():
                return self._by_item.get(int(item))
            return self._by_id.get(item)
        return None

    def split(
        self, items: Iterable[Hashable]
    ) -> tuple[list[tuple[Hashable, Field]], list[Hashable]]:
        """The items the layout places, each with its field, and those it does not know."""
        placed: list[tuple[Hashable, Field]] = []
        unknown: list[Hashable] = []
        for item in items:
            field = self.field_for(item)
            if field is None:
                unknown.append(item)
            else:
                placed.append((item, field))
        return placed, unknown

    def place(self, placed: Sequence[tuple[Hashable, Field]], values: Iterable[object]) -> bytes:
        """A record holding ``values``, one for each of ``placed`` in the same order."""
        record = bytearray(self._blank)
        for (item, field), value in zip(placed, values):
            if is_missing(value):
                continue
            data = value if isinstance(value, bytes) else encode(str(value))
            if len(data) > field.length:
                raise ValueTooLongError(
                    _item_label(item),
                    str(value),
                    len(data),
                    f"{field.name} ({field.item})",
                    field.length,
                )
            start = field.column - 1
            record[start : start + field.length] = data.ljust(field.length, b" ")
        return bytes(record)

    def place_mapping(self, values: Mapping[Hashable, object]) -> tuple[bytes, list[Hashable]]:
        """A record from a mapping of items to values, and the items the layout does not know."""
        placed, unknown = self.split(values)
        return self.place(placed, (values[item] for item, _ in placed)), unknown


def _item_label(item: Hashable) -> str:
    return f"item {item}" if isinstance(item, int) else f"item {item!r}"
