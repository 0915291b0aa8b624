#!/usr/bin/env python3
"""Writes histbeh.bin, the HISTBEH.BIN table of naaccr18.toml: which ICD-O-3 behaviour codes
each histology code may have.

The table holds bits (element type 1), 16 to a row (row width 16), rows and columns counted
from 1 as binlookup counts them:
  row r         histology 7999 + r, for r = 1 .. 2000 (8000 .. 9999)
  column c      behaviour code c - 1; columns 1 .. 4 are /0 to /3, 5 .. 16 stay clear
Element (r, c) is bit (r - 1) * 16 + (c - 1) of the data, counting from the most significant
bit of the first byte. A set bit means the behaviour is valid for the histology; a histology
the list below leaves out has an empty row, so every behaviour is refused for it. The element
type and row width are not in the file: the manifest gives them.

Run from any folder after changing the list; the output, beside this script, is committed.
"""

import pathlib

FIRST_HISTOLOGY = 8000
ROW_COUNT = 2000
ROW_WIDTH = 16

# The sample's subset of ICD-O-3 histologies, with the behaviours the registry accepts.
VALID_BEHAVIOURS = {
    8000: "013", 8001: "013", 8010: "023", 8020: "3", 8021: "3", 8041: "3", 8046: "3",
    8050: "023", 8052: "023", 8070: "23", 8071: "23", 8072: "23", 8077: "2", 8090: "13",
    8120: "0123", 8130: "123", 8140: "0123", 8144: "3", 8160: "03", 8170: "03", 8210: "023",
    8240: "13", 8246: "3", 8260: "023", 8263: "023", 8310: "03", 8312: "3", 8317: "3",
    8330: "03", 8340: "3", 8380: "0123", 8441: "03", 8460: "3", 8480: "013", 8490: "3",
    8500: "23", 8520: "23", 8522: "23", 8550: "013", 8720: "023", 8743: "23", 8800: "03",
    8890: "013", 8940: "03", 9061: "3", 9080: "013", 9380: "3", 9400: "3", 9440: "3",
    9530: "013", 9590: "3", 9650: "3", 9680: "3", 9690: "3", 9732: "3", 9823: "3",
    9861: "3", 9989: "3",
}


def row_bits(behaviours: str) -> int:
    """The row as a ROW_WIDTH-bit number whose most significant bit is column 1."""
    bits = 0
    for code in behaviours:
        bits |= 1 << (ROW_WIDTH - 1 - int(code))
    return bits


def table_bytes() -> bytes:
    data = bytearray()
    for row in range(ROW_COUNT):
        bits = row_bits(VALID_BEHAVIOURS.get(FIRST_HISTOLOGY + row, ""))
        data += bits.to_bytes(ROW_WIDTH // 8, "big")
    return bytes(data)


if __name__ == "__main__":
    pathlib.Path(__file__).with_name("histbeh.bin").write_bytes(table_bytes())
