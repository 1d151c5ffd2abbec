#!/usr/bin/env bash
# End-to-end runs of USD in the program `contura`: the outline drawn on "确定" (the default
# one after a cancelled run, one chained from selected curves), the saved drawings read back
# with python3-ezdxf.
# usage: usersection_e2e.sh CASE CONTURA DATA_DIR
set -uo pipefail
case_name=$1
contura=$2
data=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
cd "$work"

# The drawings are checked with ezdxf; without it the case fails (never passes unchecked).
/usr/bin/python3 -c 'import ezdxf' 2>/dev/null || fail "python3-ezdxf is missing"

# check OTHERS VERTICES: the saved drawing holds the green outline and OTHERS other entities.
check() { /usr/bin/python3 "$data/check_outline.py" saved.dxf "$@" || fail "ezdxf check failed"; }

case $case_name in
  default_outline)
    # A first run draws an outline whose base point is cancelled, cancels a selection and is
    # cancelled itself: it draws nothing. The second confirms the default outline.
    printf '%s\n' USD 'click 绘制截面' 0,0 1000,0 0,1000 C '*cancel*' 'click 选择曲线' '*cancel*' cancel \
      USD ok QUIT >s.scr
    run_script s.scr --save saved.dxf
    check 0 "-500,-500,0;500,-500,0;100,500,0;-500,500,0;-500,-500,0" ;;
  selected_curves)
    # Three lines and a tangent arc in scrambled order and directions give one outline: a
    # 1000 x 500 rectangle under a half circle, its base point (500,0) on the origin; the
    # curves stay.
    /usr/bin/python3 "$data/make_curves.py" curves.dxf || fail "cannot write the curves"
    printf 'USD\nclick 选择曲线\nall\n\n500,0\nok\nQUIT\n' >s.scr
    run_script s.scr --save saved.dxf curves.dxf
    grep -q "找到 4 个" out || fail "the four curves were not selected: $(cat out)"
    check 4 "500,500,1;-500,500,0;-500,0,0;500,0,0;500,500,0" ;;
  *) fail "unknown case" ;;
esac
echo "PASS ($case_name)"
