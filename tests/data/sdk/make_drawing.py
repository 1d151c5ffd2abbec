#!/usr/bin/env python3
"""make_drawing.py OUT.dxf: a drawing received from another office for the LayerTools
module: layer 0 (colour 3) with a line, WALL (locked), DOOR (frozen), OLD-X with a line, a
text style whose font exists nowhere and one whose font is in the fonts folder, a dimension
style with a dot arrowhead, a block OLD-B, a 3 x 2 multi-insert of block COL at (10,20), and
texts KL1 (twice) and KL12."""
import sys

import ezdxf

doc = ezdxf.new("R2000")
doc.layers.get("0").color = 3
doc.layers.add("WALL", color=1).lock()
doc.layers.add("DOOR", color=2).freeze()
doc.layers.add("OLD-X", color=4)
doc.styles.get("Standard").dxf.font = "simplex.shx"
doc.styles.new("FOUND", dxfattribs={"font": "simplex.shx"})
doc.styles.new("LOST", dxfattribs={"font": "nowhere.shx", "bigfont": "nowhere_big.shx"})
doc.blocks.new("_DOT").add_circle((0, 0), 0.25)
doc.dimstyles.new("DOTS").set_arrows(blk="_DOT")
col = doc.blocks.new("COL")
col.add_line((0, 0), (1, 1))
old = doc.blocks.new("OLD-B")
old.add_circle((0, 0), 1)

msp = doc.modelspace()
msp.add_line((0, 0), (100, 0), dxfattribs={"layer": "0"})
msp.add_line((0, 10), (100, 10), dxfattribs={"layer": "WALL"})
msp.add_line((0, 20), (100, 20), dxfattribs={"layer": "OLD-X"})
multi = msp.add_blockref("COL", (10, 20))
multi.dxf.column_count = 3
multi.dxf.row_count = 2
multi.dxf.column_spacing = 5
multi.dxf.row_spacing = 5
msp.add_blockref("OLD-B", (50, 50))
msp.add_text("KL1", dxfattribs={"insert": (0, 30), "height": 2.5, "layer": "WALL"})
msp.add_text("KL1", dxfattribs={"insert": (0, 40), "height": 2.5})
msp.add_text("KL12", dxfattribs={"insert": (0, 50), "height": 2.5})
doc.saveas(sys.argv[1])
