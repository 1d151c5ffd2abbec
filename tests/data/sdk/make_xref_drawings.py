#!/usr/bin/env python3
"""make_xref_drawings.py DIR: in DIR, part.dxf (a line (0,0)-(10,0) and a circle of radius 2
at (5,5)) and host.dxf with three external references: COLUMN (path part.dwg, as another
office wrote it: only part.dxf exists, beside host.dxf) placed at (100,0) and, scaled 2 and
turned 90 degrees, at (200,0); and GONE (a drawing that exists nowhere) at (300,0). host.dxf
also holds a block TAG with an attribute definition, placed with the attribute NO. 7 and a
visible text."""
import os
import sys

import ezdxf

out = sys.argv[1]
part = ezdxf.new("R2004")
part.modelspace().add_line((0, 0), (10, 0))
part.modelspace().add_circle((5, 5), 2)
part.saveas(os.path.join(out, "part.dxf"))

host = ezdxf.new("R2004")
host.add_xref_def("C:\\elsewhere\\part.dwg", "COLUMN")
host.add_xref_def("C:\\nowhere\\gone.dwg", "GONE")
tag = host.blocks.new("TAG")
tag.add_text("标签", dxfattribs={"insert": (0, 0), "height": 1})
tag.add_attdef("NO", (0, -2), dxfattribs={"height": 1})
msp = host.modelspace()
msp.add_blockref("COLUMN", (100, 0))
msp.add_blockref("COLUMN", (200, 0), dxfattribs={"xscale": 2, "yscale": 2, "zscale": 2, "rotation": 90})
msp.add_blockref("GONE", (300, 0))
msp.add_blockref("TAG", (50, 50)).add_auto_attribs({"NO": "7"})
msp.add_line((0, 0), (3, 4))
host.saveas(os.path.join(out, "host.dxf"))
