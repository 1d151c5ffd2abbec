#!/usr/bin/env python3
"""check_copies.py SOURCE.dxf SAVED.dxf COPIES: SAVED holds every entity of SOURCE and COPIES
more copies drawn from section text - each LINE, CIRCLE and LWPOLYLINE again, each MTEXT as
its lines in TEXTs - on the same layers, the copies in true colours."""
import collections
import sys

import ezdxf

src, out, copies = ezdxf.readfile(sys.argv[1]), ezdxf.readfile(sys.argv[2]), int(sys.argv[3])

def kinds(doc):
    c = collections.Counter()
    for e in doc.modelspace():
        c[(e.dxftype(), e.dxf.layer)] += 1
    return c

expected = collections.Counter(kinds(src))
lines_per_mtext = 2
for (kind, layer), n in kinds(src).items():
    if kind == "MTEXT":
        expected[("TEXT", layer)] += copies * lines_per_mtext * n
    else:
        expected[(kind, layer)] += copies * n
got = kinds(out)
if got != expected:
    sys.exit(f"entities {dict(got)} != expected {dict(expected)}")
added = sum(expected.values()) - sum(kinds(src).values())
true_colours = [e for e in out.modelspace() if e.dxf.hasattr("true_color")]
if len(true_colours) != added:
    sys.exit(f"{len(true_colours)} entities in true colour, expected {added}")
