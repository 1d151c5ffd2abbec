#!/usr/bin/env python3
"""make_area_drawing.py OUT.dxf: a floor slab for the AreaTools module, drawn as a draughtsman
draws it: three walls as lines running past each other (bottom y=0, right x=6000, top y=4000)
and a half-round end (an arc of radius 2000 about (0,2000) from 90 to 270 degrees) whose ends
lie on the bottom and top lines; inside it a shaft opening, a closed polyline from (4000,1000)
to (5000,3000)."""
import sys

import ezdxf

doc = ezdxf.new("R2004")
msp = doc.modelspace()
msp.add_line((-500, 0), (6500, 0))
msp.add_line((6000, -500), (6000, 4500))
msp.add_line((6500, 4000), (-500, 4000))
msp.add_arc((0, 2000), 2000, 90, 270)
msp.add_lwpolyline([(4000, 1000), (5000, 1000), (5000, 3000), (4000, 3000)], close=True)
doc.saveas(sys.argv[1])
