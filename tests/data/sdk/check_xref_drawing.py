#!/usr/bin/env python3
"""check_xref_drawing.py SAVED.dxf: after DrawingTools, the referenced drawing's line and
circle stand at both COLUMN references (the second scaled 2 and turned 90 degrees), nothing
came of GONE, the reference blocks are still there, and the dragged line moved by (10,20)."""
import sys

import ezdxf

doc = ezdxf.readfile(sys.argv[1])
msp = doc.modelspace()
problems = []
round2 = lambda v: (round(v.x, 6), round(v.y, 6))
lines = sorted((round2(e.dxf.start), round2(e.dxf.end)) for e in msp.query("LINE"))
expected_lines = sorted([((100, 0), (110, 0)), ((200, 0), (200, 20)), ((10, 20), (13, 24))])
if lines != expected_lines:
    problems.append(f"lines {lines}")
circles = sorted((round2(e.dxf.center), round(e.dxf.radius, 6)) for e in msp.query("CIRCLE"))
if circles != [((105, 5), 2), ((190, 10), 4)]:
    problems.append(f"circles {circles}")
for name in ("COLUMN", "GONE"):
    if name not in doc.blocks:
        problems.append(f"reference block {name} gone")
for p in problems:
    print(p)
sys.exit(1 if problems else 0)
