#!/usr/bin/env python3
"""make_curves.py OUT.dxf: three lines and a tangent half-circle arc that chain into one
outline (a 1000 x 500 rectangle under a half circle of radius 500), written in scrambled
order and with mixed directions."""
import sys

import ezdxf

doc = ezdxf.new("R2000")
msp = doc.modelspace()
msp.add_arc((500, 500), 500, 0, 180)
msp.add_line((0, 500), (0, 0))
msp.add_line((1000, 0), (0, 0))
msp.add_line((1000, 500), (1000, 0))
doc.saveas(sys.argv[1])
