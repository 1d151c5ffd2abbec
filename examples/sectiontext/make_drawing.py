#!/usr/bin/env python3
"""Writes columns_base.dxf with python3-ezdxf: outlines of special-shaped columns (with arcs)
on layer COLUMN and Chinese notes on layer TEXT. The demo's drawing columns.dxf is this
drawing with a variable entity added by the program itself (add_variable.scr)."""
import math
import os

import ezdxf

doc = ezdxf.new("R2004")
doc.encoding = "gbk"  # $DWGCODEPAGE ANSI_936
doc.layers.add("COLUMN", color=1)
doc.layers.add("TEXT", color=7)
msp = doc.modelspace()
quarter = math.tan(math.pi / 8)
col = {"layer": "COLUMN"}
# An L-shaped column with a rounded outer corner.
msp.add_lwpolyline([(0, 0, 0), (600, 0, 0), (600, 200, 0), (200, 200, 0), (200, 500, quarter), (0, 700, 0)],
                   format="xyb", close=True, dxfattribs=col)
# A T-shaped column whose web ends in a half circle.
msp.add_lwpolyline([(900, 500), (1500, 500), (1500, 700), (900, 700)], close=True,
                   dxfattribs={"layer": "COLUMN", "color": 5})
msp.add_lwpolyline([(1100, 500, 0), (1100, 100, 1), (1300, 100, 0), (1300, 500, 0)], format="xyb",
                   dxfattribs={"layer": "COLUMN", "color": 5})
msp.add_circle((2000, 350), 250, dxfattribs={"layer": "COLUMN", "color": 3})
msp.add_arc((2000, 350), 320, math.degrees(0.5), math.degrees(2.64159), dxfattribs={"color": 6})
msp.add_line((0, -150), (600, -150), dxfattribs={"color": 2})
txt = {"layer": "TEXT", "height": 60}
msp.add_text("异形柱 KZ1（L形）", dxfattribs=txt).set_placement((0, 760))
msp.add_text("T形截面 KZ2", dxfattribs=txt).set_placement((900, 760))
msp.add_text("圆柱 Z3 直径500", dxfattribs={"layer": "TEXT", "height": 50, "color": 4}).set_placement((1780, 10))
msp.add_mtext("柱截面说明\\P单位：毫米", dxfattribs={"layer": "TEXT", "char_height": 40}).set_location((1700, 900))
doc.saveas(os.path.join(os.path.dirname(os.path.abspath(__file__)), "columns_base.dxf"))
