#!/usr/bin/python3
"""Writes the corpus of malformed DXF files from fixture_r2004.dxf, and expected.txt.

Usage: make_malformed.py FIXTURE_R2004 OUT_DIR   (the build runs it: the corpus is made from
the fixture of the same build, never kept in the tree)

expected.txt has one line per file: NAME <TAB> LINE <TAB> LAYER <TAB> WORDS, where LINE is
the line the error must name, LAYER is the first layer that can see the fault (tags: the tag
reader; structure: the section walker; drawing: the reader that builds the drawing) and
WORDS must appear in the message.
"""
import os
import random
import sys

FIXTURE, OUT = sys.argv[1], sys.argv[2]
os.makedirs(OUT, exist_ok=True)

with open(FIXTURE, "rb") as f:
    BASE = f.read().split(b"\n")
if BASE[-1] == b"":
    BASE.pop()

cases = []


def code_lines():
    """Indexes (0-based) of the group-code lines of BASE."""
    return range(0, len(BASE), 2)


def find(code, value, start=0):
    """Index of the group-code line of the first tag (code, value) at or after start."""
    for i in code_lines():
        if i >= start and BASE[i].strip() == code and BASE[i + 1].strip() == value:
            return i
    raise LookupError((code, value))


def find_code(code, start):
    for i in code_lines():
        if i >= start and BASE[i].strip() == code:
            return i
    raise LookupError(code)


def record_end(i):
    """Index of the next '0' code line after the record starting at i."""
    j = i + 2
    while BASE[j].strip() != b"0":
        j += 2
    return j


def emit(name, lines_or_bytes, line, layer, words):
    data = lines_or_bytes if isinstance(lines_or_bytes, bytes) else b"\n".join(lines_or_bytes) + b"\n"
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
    cases.append((name, line, layer, words))


ENTITIES = find(b"2", b"ENTITIES")
FIRST_10 = find_code(b"10", ENTITIES)
FIRST_LINE = find(b"0", b"LINE", ENTITIES)
FIRST_LINE_HANDLE = find_code(b"5", FIRST_LINE)
SECOND_LINE = find(b"0", b"LINE", FIRST_LINE + 2)
SECOND_LINE_HANDLE = find_code(b"5", SECOND_LINE)
FIRST_40 = find_code(b"40", ENTITIES)
FIRST_70 = find_code(b"70", ENTITIES)

# Cut short inside a tag: a group code with no value line.
emit("truncated_tag.dxf", BASE[:FIRST_10 + 1], FIRST_10 + 1, "tags", "has no value")
# Cut short between records: the section never ends.
emit("truncated_section.dxf", BASE[:FIRST_LINE], FIRST_LINE, "structure",
     "ends inside section ENTITIES")

lines = list(BASE)
lines[FIRST_10] = b" 1O"
emit("bad_group_code.dxf", lines, FIRST_10 + 1, "tags", "expected a group code")

lines = list(BASE)
lines[FIRST_10 + 1] = b"12.3.4"
emit("bad_number.dxf", lines, FIRST_10 + 2, "tags", "bad number '12.3.4'")

lines = list(BASE)
lines[FIRST_40 + 1] = b"1e999"
emit("huge_number.dxf", lines, FIRST_40 + 2, "tags", "bad number")

lines = list(BASE)
lines[FIRST_70 + 1] = b"99999999999"
emit("huge_integer.dxf", lines, FIRST_70 + 2, "tags", "out of range")

lines = list(BASE)
lines[FIRST_LINE_HANDLE + 1] = b"G7"
emit("bad_handle.dxf", lines, FIRST_LINE_HANDLE + 2, "structure", "bad handle 'G7'")

lines = list(BASE)
lines[SECOND_LINE_HANDLE + 1] = BASE[FIRST_LINE_HANDLE + 1]
emit("duplicate_handle.dxf", lines, SECOND_LINE_HANDLE + 2, "drawing", "used twice")

# Structure: a section, a table and a block left open.
HEADER_END = find(b"0", b"ENDSEC")
lines = BASE[:HEADER_END] + BASE[HEADER_END + 2:]
emit("missing_endsec.dxf", lines, HEADER_END + 1, "structure", "section HEADER")

ENTITIES_END = find(b"0", b"ENDSEC", ENTITIES)
lines = BASE[:ENTITIES_END] + BASE[ENTITIES_END + 2:]
emit("missing_endsec_entities.dxf", lines, ENTITIES_END + 1, "structure", "no ENDSEC")

FIRST_ENDTAB = find(b"0", b"ENDTAB")
lines = BASE[:FIRST_ENDTAB] + BASE[FIRST_ENDTAB + 2:]
emit("missing_endtab.dxf", lines, FIRST_ENDTAB + 1, "structure", "no ENDTAB")

FIRST_ENDBLK = find(b"0", b"ENDBLK")
lines = BASE[:FIRST_ENDBLK] + BASE[record_end(FIRST_ENDBLK):]
emit("missing_endblk.dxf", lines, FIRST_ENDBLK + 1, "structure", "no ENDBLK")

# Binary data: NUL bytes in the middle of the entities.
rng = random.Random(936)
garbage = bytes(rng.randrange(256) for _ in range(64)) + b"\0"
head = b"\n".join(BASE[:FIRST_LINE]) + b"\n"
data = head + garbage + b"\n" + b"\n".join(BASE[FIRST_LINE:]) + b"\n"
nul_line = data[:data.index(b"\0")].count(b"\n") + 1
emit("binary_garbage.dxf", data, nul_line, "tags", "NUL")

# Garbage without NUL bytes where a group code belongs.
lines = list(BASE)
lines[FIRST_LINE] = bytes(rng.randrange(0x80, 0x100) for _ in range(40))
emit("garbage_code.dxf", lines, FIRST_LINE + 1, "tags", "expected a group code")

emit("binary_dxf.dxf", b"AutoCAD Binary DXF\r\n\x1a\x00" + bytes(range(256)), 1, "tags",
     "binary DXF is not supported")
emit("empty.dxf", b"", 1, "structure", "no DXF sections")
emit("not_dxf.dxf", b"hello, world\nthis is no drawing\n", 1, "tags", "expected a group code")
emit("record_outside_section.dxf", [b"  0", b"LINE", b"  8", b"0", b"  0", b"EOF"], 1,
     "structure", "expected '0 SECTION'")
emit("section_without_name.dxf", [b"  0", b"SECTION", b"  8", b"ENTITIES", b"  0", b"ENDSEC"], 1,
     "structure", "without its name")

with open(os.path.join(OUT, "expected.txt"), "w") as f:
    for name, line, layer, words in cases:
        f.write(f"{name}\t{line}\t{layer}\t{words}\n")
