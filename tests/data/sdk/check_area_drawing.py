#!/usr/bin/env python3
"""check_area_drawing.py SAVED.dxf: after AreaTools, the slab's outline is a closed polyline of
the exact area (a 6000 x 4000 rectangle and a half disc of radius 2000) with exactly the
corners and the one half-circle bulge it must have, and every wall line is broken where it
crosses another (three pieces each); the arc and the opening are untouched."""
import math
import sys

import ezdxf

doc = ezdxf.readfile(sys.argv[1])
msp = doc.modelspace()
problems = []
lines = msp.query("LINE")
if len(lines) != 9:
    problems.append(f"{len(lines)} lines, not 9")
if len(msp.query("ARC")) != 1:
    problems.append("the arc is not kept whole")
# The opening stays as drawn; the outline is the other closed polyline.
outlines = [p for p in msp.query("LWPOLYLINE") if (4000, 1000) not in [(round(x), round(y)) for x, y in p.get_points("xy")]]
expected = 6000 * 4000 + math.pi * 2000 ** 2 / 2
if len(outlines) != 1 or not outlines[0].closed:
    problems.append(f"{len(outlines)} outlines")
else:
    corners = sorted((round(x, 6), round(y, 6)) for x, y in outlines[0].get_points("xy"))
    if corners != [(0, 0), (0, 4000), (6000, 0), (6000, 4000)]:
        problems.append(f"outline corners {corners}")
    bulges = sorted(round(abs(b), 12) for (b,) in outlines[0].get_points("b"))
    if bulges != [0, 0, 0, 1]:
        problems.append(f"outline bulges {bulges}")
    # Shoelace over the vertices plus each bulged segment's circular segment, in closed form.
    points = outlines[0].get_points("xyb")
    area = 0.0
    for i, (x0, y0, b) in enumerate(points):
        x1, y1, _ = points[(i + 1) % len(points)]
        area += (x0 * y1 - x1 * y0) / 2
        if b:
            theta = 4 * math.atan(b)
            r = math.hypot(x1 - x0, y1 - y0) / (2 * math.sin(abs(theta) / 2))
            area += math.copysign(r * r / 2 * (abs(theta) - math.sin(abs(theta))), theta)
    area = abs(area)
    if abs(area - expected) > expected * 1e-6:
        problems.append(f"outline area {area}, not {expected}")
for p in problems:
    print(p)
sys.exit(1 if problems else 0)
