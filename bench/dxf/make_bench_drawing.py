#!/usr/bin/python3
"""Writes the DXF benchmark drawing with ezdxf: 50,000 each of LINE, ARC, LWPOLYLINE and TEXT
(200,000 entities) in model space, R2004, code page 936.

Usage: /usr/bin/python3 make_bench_drawing.py OUTPUT.dxf [COUNT_PER_KIND]
"""
import sys

import ezdxf

out = sys.argv[1]
count = int(sys.argv[2]) if len(sys.argv) > 2 else 50000
doc = ezdxf.new("R2004")
doc.encoding = "gbk"
doc.layers.add("墙体", color=3)
msp = doc.modelspace()
for i in range(count):
    x, y = (i % 500) * 13.7, (i // 500) * 11.3
    msp.add_line((x, y), (x + 10.25, y + 3.5), dxfattribs={"layer": "墙体"})
    msp.add_arc((x, y), 2.5 + i % 7, 15.0 + i % 90, 200.0 + i % 45)
    msp.add_lwpolyline([(x, y, 0, 0, 0.25), (x + 5, y, 0.1, 0.1, 0), (x + 5, y + 4, 0, 0, -0.5),
                        (x, y + 4, 0, 0, 0)], format="xyseb", close=True)
    msp.add_text(f"编号{i}", dxfattribs={"insert": (x, y + 6), "height": 2.5, "rotation": i % 360})
doc.saveas(out)
