#!/usr/bin/env python3
"""A section library of N sections with known measures, and the checks of its report.

usage: report_library.py make LIBRARY N EXPECTED.json   (LIBRARY: an empty library file)
       report_library.py check OUT EXPECTED.json        (OUT.csv written by contura)
"""
import csv
import json
import math
import sqlite3
import sys

HEADER = ["id", "category", "code", "name", "remark", "area", "perimeter", "centroid_x", "centroid_y",
          "Ix", "Iy", "Ixy", "I1", "I2", "angle"]


def rectangle(x, y, w, h):
    pts = [(x, y), (x + w, y), (x + w, y + h), (x, y + h), (x, y)]
    return "[Polyline]\nPoint=" + ";".join(f"{a!r},{b!r},0,0,0" for a, b in pts) + "\nColor=255,255,255\nLayer=0\n\n"


def section(i):
    """Section text and its measures (area, perimeter, cx, cy, Ix, Iy) of the i-th kind."""
    w, h = 200.0 + 10 * (i % 17), 300.0 + 7 * (i % 23)
    x, y = -50.0 * (i % 5), 25.0 * (i % 3)
    kind = i % 3
    if kind == 0:  # a rectangle
        return ("矩形柱", rectangle(x, y, w, h),
                (w * h, 2 * (w + h), x + w / 2, y + h / 2, w * h ** 3 / 12, h * w ** 3 / 12))
    if kind == 1:  # a rectangle with a round hole in its middle
        d = min(w, h) / 2
        hole = f"[Circle]\nCenter={x + w / 2!r},{y + h / 2!r}\nRadius={d / 2!r}\nColor=255,0,0\nLayer=0\n\n"
        holeI = math.pi * d ** 4 / 64
        return ("空心柱", rectangle(x, y, w, h) + hole,
                (w * h - math.pi * d * d / 4, 2 * (w + h) + math.pi * d, x + w / 2, y + h / 2,
                 w * h ** 3 / 12 - holeI, h * w ** 3 / 12 - holeI))
    r = w / 2  # a half disc under the segment from (x, y) to (x + 2r, y), as a section outline
    text = f"[PolylineSection]\nPoints={x!r},{y!r},1;{x + 2 * r!r},{y!r},0;{x!r},{y!r},0\nBasePoint={x!r},{y!r}\n\n"
    return ("半圆柱", text,
            (math.pi * r * r / 2, math.pi * r + 2 * r, x + r, y - 4 * r / (3 * math.pi),
             (math.pi / 8 - 8 / (9 * math.pi)) * r ** 4, math.pi * r ** 4 / 8))


def make(library, n, expected_file):
    db = sqlite3.connect(library)
    expected = {}
    for i in range(n):
        name, text, measures = section(i)
        code, category = 1000 - i, 1 + i % 4
        remark = f"第 {i} 号, \"引号\"\n第二行"
        if i == n // 2:  # one section whose outline cannot be read
            name, text, measures = "坏轮廓", "[PolylineSection]\nPoints=0,0,0;abc\nBasePoint=0,0\n", None
        sec = f"[SecType]\nName={name}\nRemark=\nType={code}\nGroup={category}\n\n" + text
        cur = db.execute("insert into SectionInfo (Type,GroupSec,Name,SectionInfo,Remark) values (?,?,?,?,?)",
                         (code, category, f"{name}{i}", sec, remark))
        expected[str(cur.lastrowid)] = {"name": f"{name}{i}", "category": category, "code": code,
                                        "remark": remark.split("\n")[0], "measures": measures}
    db.commit()
    json.dump(expected, open(expected_file, "w"), ensure_ascii=False)


def check(out, expected_file):
    expected = json.load(open(expected_file))
    with open(out + ".csv", newline="", encoding="utf-8") as f:
        header, *rows = list(csv.reader(f))
    if header != HEADER or sorted(r[0] for r in rows) != sorted(expected):
        sys.exit(f"header {header}, or not one row per section")
    if [(int(r[1]), int(r[2])) for r in rows] != sorted((int(r[1]), int(r[2])) for r in rows):
        sys.exit("rows not grouped by category and sorted by code")
    for r in rows:
        e = expected[r[0]]
        if r[1:5] != [str(e["category"]), str(e["code"]), e["name"], e["remark"]]:
            sys.exit(f"row {r[:5]} against {e}")
        if e["measures"] is None:  # the row stays, without numbers
            if any(r[5:]):
                sys.exit(f"section {r[0]} cannot be measured but has numbers {r[5:]}")
            continue
        area, perimeter, cx, cy, ix, iy = e["measures"]
        want = [area, perimeter, cx, cy, ix, iy, 0.0, max(ix, iy), min(ix, iy)]
        scale = [0, 0, math.sqrt(area), math.sqrt(area), 0, 0, max(ix, iy), 0, 0]  # for values near 0
        for name, g, w, s in zip(HEADER[5:], map(float, r[5:]), want, scale):
            if abs(g - w) > 1e-9 * max(abs(w), s):
                sys.exit(f"section {r[0]} {name}: {g!r}, expected {w!r}")
        if abs((float(r[14]) - (0.0 if ix >= iy else 90.0) + 90) % 180 - 90) > 1e-6:
            sys.exit(f"section {r[0]} angle {r[14]}")
    print(len(rows))


if __name__ == "__main__":
    if sys.argv[1] == "make":
        make(sys.argv[2], int(sys.argv[3]), sys.argv[4])
    else:
        check(sys.argv[2], sys.argv[3])
