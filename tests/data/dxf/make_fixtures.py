#!/usr/bin/python3
"""Writes the DXF reading fixtures with ezdxf (python3-ezdxf), an independent DXF writer.

Usage: /usr/bin/python3 make_fixtures.py OUTPUT_DIR   (the build runs it into build/tests/data/dxf)

Each drawing holds the same content, so tests can check every version alike:
  fixture_r12.dxf     R12, ANSI_936 (only what R12 can hold)
  fixture_r2000.dxf   R2000, doc.encoding = "gbk" ($DWGCODEPAGE ANSI_936)
  fixture_r2004.dxf   R2004, doc.encoding = "gbk"
  fixture_r2018.dxf   R2018, UTF-8
The expected values the tests compare against are the ones written here; keep them in step
with tests/dxf/test_fixtures.cpp.
"""
import math
import os
import sys

import ezdxf
from ezdxf.math import Vec3

OUT = sys.argv[1]
os.makedirs(OUT, exist_ok=True)

ZH_TEXT = "中文文字"          # a TEXT
ZH_MTEXT = "第一行\\P第二行"   # an MTEXT with a paragraph break
ZH_LAYER = "墙体"              # a layer name in Chinese
ZH_ATTR = "编号"               # an attribute value
# A character code page 936 lacks (Thai ko kai): kept as \U+0E01 in the drawing.
FOREIGN = "ก"


def layers(doc, modern):
    doc.layers.add("OFF_LAYER", color=1).off()
    frozen = doc.layers.add("FROZEN_LAYER", color=2)
    frozen.freeze()
    doc.layers.add("LOCKED_LAYER", color=3).lock()
    doc.layers.add(ZH_LAYER, color=4, linetype="DASHED")
    if modern:
        tc = doc.layers.add("TRUECOLOR_LAYER")
        tc.rgb = (10, 200, 30)
        tc.description = "真彩色图层"
        doc.layers.get("OFF_LAYER").description = "off layer"
        doc.layers.add("NOPLOT_LAYER", color=5).dxf.plot = 0
        doc.layers.get(ZH_LAYER).dxf.lineweight = 50


def styles(doc):
    doc.styles.add("HZ", font="txt.shx").dxf.bigfont = "gbcbig.shx"
    style = doc.styles.add("WIDE", font="simplex.shx")
    style.dxf.width = 0.8
    style.dxf.oblique = 15
    style.dxf.height = 0


def blocks(doc, modern):
    inner = doc.blocks.new("INNER", base_point=(1, 1))
    inner.add_circle((0, 0), 2)
    inner.add_line((-2, 0), (2, 0))
    outer = doc.blocks.new("OUTER")
    outer.add_blockref("INNER", (5, 5), dxfattribs={"xscale": 2, "yscale": 2, "rotation": 30})
    outer.add_lwpolyline([(0, 0), (10, 0), (10, 10)]) if modern else outer.add_polyline2d(
        [(0, 0), (10, 0), (10, 10)])
    tag = doc.blocks.new("TAGBLOCK")
    tag.add_circle((0, 0), 1)
    tag.add_attdef("NUM", (0, -2), dxfattribs={"height": 0.5, "prompt": "编号?"})
    # Verified and preset: the attributes made from it carry the same flags.
    tag.add_attdef("NAME", (0, -3), dxfattribs={"height": 0.5, "text": "default", "flags": 4 | 8})
    arrow = doc.blocks.new("MYARROW")
    arrow.add_solid([(0, 0), (-1, 0.25), (-1, -0.25)])


def dimstyles(doc, modern):
    ds = doc.dimstyles.new("ARROWS")
    ds.dxf.dimasz = 0.25
    ds.dxf.dimtxt = 0.35
    if modern:
        ds.set_arrows(blk="MYARROW")
    else:
        ds.dxf.dimblk = "MYARROW"


def entities(doc, modern):
    msp = doc.modelspace()
    msp.add_line((0, 0, 0), (100.5, 50.25, 0), dxfattribs={"layer": ZH_LAYER, "color": 1})
    msp.add_line((0, 0), (0.1, 0.2), dxfattribs={"linetype": "DASHED", "ltscale": 2.5})
    msp.add_arc((10, 10), 5, 30, 120, dxfattribs={"layer": "LOCKED_LAYER"})
    msp.add_circle((20, 20), 7.5, dxfattribs={"layer": "FROZEN_LAYER"})
    msp.add_point((3, 4, 5))
    msp.add_solid([(0, 0), (1, 0), (0, 1), (1, 1)])
    msp.add_text(ZH_TEXT, dxfattribs={"height": 2.5, "style": "HZ", "rotation": 45,
                                      "insert": (30, 40)})
    msp.add_text("ALIGNED", dxfattribs={"height": 1, "halign": 1, "valign": 2,
                                        "insert": (0, 50), "align_point": (5, 50)})
    msp.add_text("foreign " + FOREIGN, dxfattribs={"insert": (0, 60)})
    # Curve-fitted, so it stays an old-style polyline (simple ones open as lightweight ones).
    pl2d = msp.add_polyline2d([(0, 0), (10, 0), (10, 10), (0, 10)], close=True)
    pl2d.dxf.flags |= 2
    pl2d.dxf.layer = "OFF_LAYER"
    msp.add_blockref("OUTER", (50, 50))
    ref = msp.add_blockref("TAGBLOCK", (60, 60))
    ref.add_auto_attribs({"NUM": ZH_ATTR + "-7", "NAME": "N1"})
    mref = msp.add_blockref("INNER", (100, 100))
    mref.grid(size=(2, 3), spacing=(10, 20))
    if not modern:
        return
    msp.add_line((0, 0), (1, 1), dxfattribs={"true_color": ezdxf.rgb2int((255, 128, 0))})
    msp.add_lwpolyline([(0, 0, 0.5, 0.5, 0), (10, 0, 1, 1, 0.41421356237),
                        (10, 10, 0, 0, -1), (0, 10, 0, 0, 0)],
                       format="xyseb", close=True, dxfattribs={"layer": ZH_LAYER})
    msp.add_lwpolyline([(0, 0), (5, 5)], dxfattribs={"const_width": 0.3})
    msp.add_mtext(ZH_MTEXT, dxfattribs={"char_height": 3, "insert": (0, 80), "width": 40,
                                        "style": "HZ"})
    msp.add_ellipse((0, 0), major_axis=(10, 0), ratio=0.5, start_param=0,
                    end_param=math.pi)
    msp.add_spline([(0, 0), (10, 10), (20, 0), (30, 10)])
    msp.add_spline_control_frame([(0, 0), (5, 10), (15, -5), (20, 0)])
    msp.add_ray((0, 0), (1, 1))
    msp.add_xline((5, 5), (0, 1))
    hatch = msp.add_hatch(color=3)
    hatch.paths.add_polyline_path([(0, 0), (10, 0), (10, 10), (0, 10)], is_closed=True)
    hatch2 = msp.add_hatch()
    hatch2.set_pattern_fill("ANSI31", scale=2)
    hatch2.paths.add_polyline_path([(20, 0), (30, 0), (30, 10)], is_closed=True)
    region = msp.add_region()
    region.sat = ["700 0 1 0", "@33 Distributed by ezdxf fixture, 0", "End-of-ACIS-data"]
    solid = msp.add_3dsolid(dxfattribs={"layer": "TRUECOLOR_LAYER"})
    solid.sat = ["700 0 1 0", "body $-1 $-1 $-1 #", "End-of-ACIS-data"]
    dim = msp.add_linear_dim(base=(0, -10), p1=(0, 0), p2=(100, 0), dimstyle="ARROWS")
    dim.render()
    # XDATA and an extension dictionary with an XRECORD on one line.
    doc.appids.new("CONTURA_TEST")
    tagged = msp.add_line((1, 2), (3, 4))
    tagged.set_xdata("CONTURA_TEST", [(1000, "甲乙"), (1040, 3.25), (1070, 12),
                                      (1010, (1, 2, 3)), (1005, tagged.dxf.handle)])
    xdict = tagged.new_extension_dict()
    xrec = xdict.add_xrecord("CONTURA_DATA")
    xrec.reset([(1, "记录"), (40, 2.5), (90, 77)])
    # Groups: a named one and a described one.
    group = doc.groups.new("GROUP_A", description="两条线", selectable=True)
    group.extend([msp[0], msp[1]])
    doc.groups.new("GROUP_B").extend([msp[2]])
    # An external reference.
    doc.add_xref_def("parts/other.dxf", "XREF_PARTS")
    msp.add_blockref("XREF_PARTS", (200, 0))


def build(version, encoding, modern):
    doc = ezdxf.new(version, setup=True)
    if encoding:
        doc.encoding = encoding
    layers(doc, modern)
    styles(doc)
    blocks(doc, modern)
    dimstyles(doc, modern)
    entities(doc, modern)
    doc.header["$INSBASE"] = (1.5, 2.5, 0)
    doc.header["$CLAYER"] = ZH_LAYER
    return doc


def main():
    targets = [
        ("fixture_r12.dxf", "R12", "gbk", False),
        ("fixture_r2000.dxf", "R2000", "gbk", True),
        ("fixture_r2004.dxf", "R2004", "gbk", True),
        ("fixture_r2018.dxf", "R2018", None, True),
    ]
    for name, version, encoding, modern in targets:
        doc = build(version, encoding, modern)
        path = os.path.join(OUT, name)
        doc.saveas(path)
        check = ezdxf.readfile(path).audit()
        if check.errors:
            sys.exit(f"{name}: ezdxf audit found errors")
        print(path)


if __name__ == "__main__":
    main()
