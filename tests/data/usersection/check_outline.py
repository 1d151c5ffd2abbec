#!/usr/bin/env python3
"""check_outline.py SAVED.dxf OTHERS "x,y,bulge;...": model space of SAVED holds exactly one
LWPOLYLINE in colour index 3 (the outline USD drew: not marked closed, with these vertices and
bulges to 1e-9) and OTHERS other entities, none of them a polyline (no temporary polyline was
left behind)."""
import sys

import ezdxf

saved, others, vertices = sys.argv[1], int(sys.argv[2]), sys.argv[3]
msp = list(ezdxf.readfile(saved).modelspace())
green = [e for e in msp if e.dxftype() == "LWPOLYLINE" and e.dxf.color == 3]
rest = [e for e in msp if e not in green]
if len(green) != 1:
    sys.exit(f"{len(green)} green polylines, expected 1: {[e.dxftype() for e in msp]}")
if len(rest) != others or any(e.dxftype() in ("LWPOLYLINE", "POLYLINE") for e in rest):
    sys.exit(f"other entities {[e.dxftype() for e in rest]}, expected {others} and no polyline")
if green[0].closed:
    sys.exit("the outline is marked closed")
got = [(x, y, b) for x, y, _, _, b in green[0].get_points("xyseb")]
want = [tuple(float(v) for v in item.split(",")) for item in vertices.split(";")]
if len(got) != len(want) or any(abs(g - w) > 1e-9 for p, q in zip(got, want) for g, w in zip(p, q)):
    sys.exit(f"vertices {got} != {want}")
print("ok")
