#!/usr/bin/python3
"""Reads a DXF file with ezdxf, audits it and prints one JSON line summing up what it holds.

Usage: /usr/bin/python3 check_dxf.py FILE.dxf
Exit status 0; the JSON has "audit_errors" and "audit_fixes" (what ezdxf's audit found and
repaired) and, for comparing two files, the layers with their states, the text styles, the
named blocks, the entity kinds of model space, the texts, the groups and the xref paths.
"""
import json
import re
import sys

import ezdxf


def plain(entity):
    """The text with \\U+XXXX escapes (in either letter case) decoded."""
    text = entity.text if entity.dxftype() == "MTEXT" else entity.dxf.get("text", "")
    return re.sub(r"\\[Uu]\+([0-9A-Fa-f]{4})", lambda m: chr(int(m.group(1), 16)), text)


def main():
    doc = ezdxf.readfile(sys.argv[1])
    auditor = doc.audit()
    msp = doc.modelspace()
    kinds = {}
    for e in msp:
        kinds[e.dxftype()] = kinds.get(e.dxftype(), 0) + 1
    texts = sorted(plain(e) for e in msp if e.dxftype() in ("TEXT", "MTEXT"))
    attribs = sorted(a.dxf.text for e in msp.query("INSERT") for a in e.attribs)
    layers = sorted(
        [l.dxf.name, l.is_on(), l.is_frozen(), l.is_locked(), l.color,
         l.rgb if l.has_dxf_attrib("true_color") else None, l.description]
        for l in doc.layers)
    styles = sorted([s.dxf.name, s.dxf.get("font", ""), s.dxf.get("bigfont", "")]
                    for s in doc.styles if s.dxf.name)
    blocks = sorted([b.name, len(b), b.block.dxf.get("xref_path", "")]
                    for b in doc.blocks if not b.name.startswith("*"))
    groups = sorted([name, len(g), g.dxf.description] for name, g in doc.groups)
    summary = {
        "audit_errors": [str(x.message) for x in auditor.errors],
        "audit_fixes": [str(x.message) for x in auditor.fixes],
        "modelspace": kinds,
        "texts": texts,
        "attribs": attribs,
        "layers": layers,
        "styles": styles,
        "blocks": blocks,
        "groups": groups,
    }
    print(json.dumps(summary, ensure_ascii=False, sort_keys=True))


if __name__ == "__main__":
    main()
