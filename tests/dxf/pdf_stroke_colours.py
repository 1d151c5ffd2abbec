"""Prints the stroke colours ("r g b" per line) a PDF's page content sets, as Qt's PDF writer
sets them ("r g b SCN"), from its content streams (deflated or not)."""
import re
import sys
import zlib

data = open(sys.argv[1], "rb").read()
colours = set()
for match in re.finditer(rb"stream\r?\n(.*?)\r?\nendstream", data, re.S):
    content = match.group(1)
    try:
        content = zlib.decompress(content)
    except zlib.error:
        pass
    for r, g, b in re.findall(rb"(?m)^([\d.]+) ([\d.]+) ([\d.]+) SCN$", content):
        colours.add(b" ".join((r, g, b)).decode())
print("\n".join(sorted(colours)))
