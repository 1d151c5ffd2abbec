#!/usr/bin/env python3
"""Writes examples.dxf with python3-ezdxf: the drawing of the section text examples (a line
and a circle of colour 1 on layer 0; a closed polyline with a quarter-circle bulge on layer
WALL of colour 5; a two-line multi-line text of colour 7), for the CJLX end-to-end tests.

Usage: make_fixture.py OUTPUT.dxf   (the build runs it into build/tests/data/sectiontext)"""
import os
import sys

import ezdxf

doc = ezdxf.new("R2004")
doc.layers.add("WALL", color=5)
msp = doc.modelspace()
msp.add_line((0, 0), (1000, 0), dxfattribs={"color": 1, "layer": "0"})
msp.add_circle((500, 300), 150, dxfattribs={"color": 1, "layer": "0"})
pl = msp.add_lwpolyline([(0, 0, 0, 0, 0.414214), (100, 0, 0, 0, 0), (100, 100, 0, 0, 0)],
                        format="xyseb", dxfattribs={"color": 5, "layer": "WALL"})
pl.closed = True
mt = msp.add_mtext("FIRST LINE\\PSECOND LINE", dxfattribs={"color": 7, "layer": "0", "char_height": 2.5})
mt.set_location((10, 22.5), attachment_point=1)
os.makedirs(os.path.dirname(os.path.abspath(sys.argv[1])), exist_ok=True)
doc.saveas(sys.argv[1])
