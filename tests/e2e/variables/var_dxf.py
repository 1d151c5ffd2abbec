"""One line per variable entity (VARCOMMON) of a drawing, as python3-ezdxf reads it: the
text's own properties and the variable's, for the end-to-end tests to compare.
usage: var_dxf.py DRAWING.dxf"""
import sys

import ezdxf


def number(x):
    x = float(x)
    return "%d" % x if x == int(x) else repr(x)


def values(tags, code):
    return [t.value for t in tags if t.code == code]


def first(tags, code, default=""):
    found = values(tags, code)
    return found[0] if found else default


def main(path):
    doc = ezdxf.readfile(path)
    for e in doc.modelspace():
        if e.dxftype() != "VARCOMMON":
            continue
        xt = e.xtags
        entity = xt.get_subclass("AcDbEntity")
        text = xt.get_subclass("AcDbText")
        var = xt.get_subclass("AcDbVarCommon")
        x, y, z = first(text, 10)
        print(
            "VARCOMMON text=%s at=(%s,%s,%s) color=%s height=%s code=%s type=%s initial=%s condition=%s "
            "remark=%s sort=%s visible=%s value_color=%s value_height=%s value_angle=%s"
            % (
                first(text, 1),
                number(x), number(y), number(z),
                first(entity, 62, 256),
                number(first(text, 40)),
                first(var, 300), first(var, 301), first(var, 303), first(var, 305),
                values(var, 304),
                first(var, 91), first(var, 92), first(var, 93),
                number(first(var, 40)), number(first(var, 41)),
            )
        )


if __name__ == "__main__":
    main(sys.argv[1])
