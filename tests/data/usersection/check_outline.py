#!/usr/bin/env python3
"""check_outline.py SAVED.dxf OTHERS [--vertices "x,y,b;..."] [--area A]: model space of SAVED
holds exactly one LWPOLYLINE in colour index 3 (the outline USD drew: not marked closed, its
first vertex repeated at the end) and OTHERS other entities, none of them a polyline (no
temporary polyline was left behind). --vertices: its vertices and bulges, exactly;
--area: the area it encloses, bulged segments included, to 1e-6; --extent "x0,y0,x1,y1": the
smallest and largest vertex coordinates, to 1e-9."""
import argparse
import math
import sys

import ezdxf

ap = argparse.ArgumentParser()
ap.add_argument("saved")
ap.add_argument("others", type=int)
ap.add_argument("--vertices")
ap.add_argument("--area", type=float)
ap.add_argument("--extent")
args = ap.parse_args()

msp = list(ezdxf.readfile(args.saved).modelspace())
green = [e for e in msp if e.dxftype() == "LWPOLYLINE" and e.dxf.color == 3]
rest = [e for e in msp if e not in green]
if len(green) != 1:
    sys.exit(f"{len(green)} green polylines, expected 1: {[e.dxftype() for e in msp]}")
if len(rest) != args.others or any(e.dxftype() in ("LWPOLYLINE", "POLYLINE") for e in rest):
    sys.exit(f"other entities {[e.dxftype() for e in rest]}, expected {args.others} and no polyline")
pl = green[0]
if pl.closed:
    sys.exit("the outline is marked closed")
pts = [(x, y, b) for x, y, _, _, b in pl.get_points("xyseb")]
if pts[0][:2] != pts[-1][:2]:
    sys.exit(f"the first vertex is not repeated at the end: {pts}")

if args.vertices:
    want = [tuple(float(v) for v in item.split(",")) for item in args.vertices.split(";")]
    if pts != want:
        sys.exit(f"vertices {pts} != {want}")

if args.area is not None:
    area = 0.0
    for (x1, y1, b), (x2, y2, _) in zip(pts, pts[1:]):
        area += (x1 * y2 - x2 * y1) / 2
        if b:
            theta = 4 * math.atan(b)
            chord2 = (x2 - x1) ** 2 + (y2 - y1) ** 2
            r2 = chord2 / (4 * math.sin(theta / 2) ** 2)
            area += r2 * (theta - math.sin(theta)) / 2
    if abs(abs(area) - args.area) > 1e-6:
        sys.exit(f"area {abs(area)} != {args.area}")
if args.extent:
    want = [float(v) for v in args.extent.split(",")]
    got = [min(p[0] for p in pts), min(p[1] for p in pts), max(p[0] for p in pts), max(p[1] for p in pts)]
    if any(abs(g - w) > 1e-9 for g, w in zip(got, want)):
        sys.exit(f"vertex extent {got} != {want}")
print("ok")
