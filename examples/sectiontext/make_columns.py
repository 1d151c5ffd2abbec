#!/usr/bin/env python3
"""Writes columns.txt: the sample section text of the demo (code page 936 bytes, line feeds):
special-shaped column outlines with arcs, Chinese annotation texts and a variable."""
import math
import os

def g(v):
    return "%g" % v

def poly(points, color, layer, closed=True):
    items = [",".join(g(x) for x in (px, py, b, sw, ew)) for (px, py, b, sw, ew) in points]
    if closed:
        items.append("%s,%s,0,0,0" % (g(points[0][0]), g(points[0][1])))
    return "[Polyline]\nPoint=%s\nColor=%s\nLayer=%s\n" % (";".join(items), color, layer)

def text(value, h, x, y, a, color, layer):
    return "[Text]\nValue=%s\nHeight=%s\nPoint=%s,%s\nAngle=%s\nColor=%s\nLayer=%s\n" % (
        value, g(h), g(x), g(y), g(a), color, layer)

quarter = math.tan(math.pi / 8)  # bulge of a quarter circle
records = [
    # An L-shaped column with a rounded outer corner.
    poly([(0, 0, 0, 0, 0), (600, 0, 0, 0, 0), (600, 200, 0, 0, 0), (200, 200, 0, 0, 0),
          (200, 500, quarter, 0, 0), (0, 700, 0, 0, 0)], "255,0,0", "COLUMN"),
    # A T-shaped column whose web ends in a half circle.
    poly([(900, 500, 0, 0, 0), (1500, 500, 0, 0, 0), (1500, 700, 0, 0, 0), (900, 700, 0, 0, 0)],
         "0,0,255", "COLUMN"),
    poly([(1100, 500, 0, 0, 0), (1100, 100, 1, 0, 0), (1300, 100, 0, 0, 0), (1300, 500, 0, 0, 0)],
         "0,0,255", "COLUMN", closed=False),
    "[Circle]\nCenter=2000,350\nRadius=250\nColor=0,255,0\nLayer=COLUMN\n",
    "[Arc]\nCenter=2000,350\nRadius=320\nAngle=0.5,2.64159\nColor=255,0,255\nLayer=0\n",
    "[Line]\nPoint=0,-150;600,-150\nColor=255,255,0\nLayer=0\n",
    # A wide reinforcement band, narrowing at its end.
    poly([(0, 900, 0, 30, 30), (1500, 900, 0, 30, 0), (1700, 900, 0, 0, 0)], "128,128,128", "0", closed=False),
    text("异形柱 KZ1（L形）", 60, 0, 760, 0, "255,255,255", "0"),
    text("T形截面 KZ2", 60, 900, 760, 0, "255,255,255", "0"),
    text("圆柱 Z3 直径500", 50, 1780, 10, 0, "0,255,255", "0"),
    text("宽度", 40, 620, 60, math.pi / 2, "255,255,255", "0"),
    "[VarCommon]\nValue=B\nHeight=50\nPoint=250,-260\nAngle=0\nColor=255,0,0\nLayer=0\n"
    "Code=B\nVisible=1\nSort=1\nCondiction=B>0\nRemark=柱宽\nRemark=单位 mm\n"
    "VarInitial=600\nVarValue=600\nVarHeight=50\nVarPoint=330,-260\nVarAngle=0\n"
    "VarColor=0,255,0\nVarType=整数\n",
]
here = os.path.dirname(os.path.abspath(__file__))
with open(os.path.join(here, "columns.txt"), "wb") as f:
    f.write("\n".join(records).encode("gbk"))
