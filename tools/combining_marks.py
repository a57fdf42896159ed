#!/usr/bin/env python3
"""Writes core/CombiningMarks.inc: the code point ranges of the marks that
combine with the character before them (Unicode categories Mn, Mc and Me),
merged across unassigned gaps. The line breaker never breaks before one.
Standard library only (its unicodedata sets the Unicode version):

    python3 tools/combining_marks.py > core/CombiningMarks.inc
"""

import unicodedata

MARKS = ("Mn", "Mc", "Me")


def ranges():
    out = []
    for cp in range(0x110000):
        if unicodedata.category(chr(cp)) not in MARKS:
            continue
        if out and all(unicodedata.category(chr(c)) == "Cn" for c in range(out[-1][1] + 1, cp)):
            out[-1][1] = cp
        else:
            out.append([cp, cp])
    return out


def main():
    print(f"// Combining marks of Unicode {unicodedata.unidata_version}, written by tools/combining_marks.py.")
    items = [f"{{0x{a:04X}, 0x{b:04X}}}," for a, b in ranges()]
    for i in range(0, len(items), 5):
        print(" ".join(items[i:i + 5]))


main()
