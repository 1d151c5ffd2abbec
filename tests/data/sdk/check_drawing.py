#!/usr/bin/env python3
"""check_drawing.py SAVED.dxf: what the LayerTools script must have left in the drawing."""
import sys

import ezdxf

doc = ezdxf.readfile(sys.argv[1])
msp = doc.modelspace()
problems = []


def expect(condition, what):
    if not condition:
        problems.append(what)


layers = {layer.dxf.name: layer for layer in doc.layers}
expect(set(layers) >= {"0", "A-0", "A-WALL", "A-DOOR"}, f"layers {sorted(layers)}")
expect("A-OLD-X" not in layers and "OLD-X" not in layers, "layer OLD-X (A-OLD-X) not erased")
if "A-0" in layers:
    expect(layers["A-0"].color == 3, "A-0 lacks layer 0's colour")
if "A-WALL" in layers:
    expect(not layers["A-WALL"].is_locked(), "A-WALL still locked")
if "A-DOOR" in layers:
    expect(not layers["A-DOOR"].is_frozen(), "A-DOOR still frozen")
    expect(layers["A-DOOR"].is_off(), "A-DOOR not turned off")

lines = sorted((round(e.dxf.start.y), e.dxf.layer) for e in msp.query("LINE"))
expect(lines == [(0, "A-0"), (10, "A-WALL")], f"lines {lines}")

styles = {s.dxf.name: s for s in doc.styles}
expect(styles["LOST"].dxf.font == "txt.shx" and styles["LOST"].dxf.bigfont == "hztxt.shx",
       "LOST not repaired")
expect(styles["FOUND"].dxf.font == "simplex.shx", "FOUND changed")
dots = doc.dimstyles.get("DOTS")
arrow = doc.entitydb.get(dots.dxf.get("dimblk_handle", "0"))
arrow_name = arrow.dxf.name if arrow is not None else dots.dxf.get("dimblk", "")
expect(arrow_name == "_OBLIQUE", f"DOTS arrowhead {arrow_name!r}, not _OBLIQUE")

inserts = [(e.dxf.name, tuple(round(v) for v in e.dxf.insert)[:2], e.dxf.get("column_count", 1),
            e.dxf.get("row_count", 1)) for e in msp.query("INSERT")]
expect(inserts == [("COL", (10, 20), 1, 1)], f"inserts {inserts}")
expect("OLD-B" not in doc.blocks, "block OLD-B not erased")

texts = sorted(e.dxf.text for e in msp.query("TEXT"))
expect(texts == ["KL12", "KL9", "KL9"], f"texts {texts}")

for p in problems:
    print(p)
sys.exit(1 if problems else 0)
