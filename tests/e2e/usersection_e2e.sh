#!/usr/bin/env bash
# End-to-end runs of USD in the program `contura`: the outline drawn on "确定" (the default
# one, one drawn with an arc segment, one chained from selected curves, one picked back from
# the dialog's list), nothing on cancel, the saved drawings read back with python3-ezdxf.
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

# check OTHERS [options]: the saved drawing holds the green outline and OTHERS other entities.
check() { /usr/bin/python3 "$data/check_outline.py" saved.dxf "$@" || fail "ezdxf check failed"; }
default_outline="--vertices=-500,-500,0;500,-500,0;100,500,0;-500,500,0;-500,-500,0"

case $case_name in
  default_outline)
    printf 'USD\nok\nQUIT\n' >s.scr
    run_script s.scr --save saved.dxf
    check 0 "$default_outline" ;;
  cancel)
    # A drawn outline whose base point is cancelled, a cancelled selection, then the dialog
    # cancelled: nothing is drawn and no temporary polyline stays.
    cat >s.scr <<SCR
USD
click 绘制截面
0,0
1000,0
0,1000
C
*cancel*
click 选择曲线
*cancel*
cancel
QUIT
SCR
    run_script s.scr --save saved.dxf
    n=$(/usr/bin/python3 -c 'import ezdxf,sys; print(len(ezdxf.readfile(sys.argv[1]).modelspace()))' saved.dxf) ||
      fail "ezdxf cannot read the drawing"
    [ "$n" = 0 ] || fail "$n entities drawn" ;;
  arc_outline)
    # Two lines, a tangent half circle and a line back, closed; base point in the middle.
    cat >s.scr <<SCR
USD
click 绘制截面
0,0
1000,0
A
1000,1000
L
0,1000
C
500,500
ok
QUIT
SCR
    run_script s.scr --save saved.dxf
    check 0 "--vertices=-500,-500,0;500,-500,1;500,500,0;-500,500,0;-500,-500,0" ;;
  selected_curves)
    # Three lines and a tangent arc in scrambled order and directions give one outline: a
    # 1000 x 500 rectangle under a half circle (the arc's bulge sign decides the area), its
    # base point (500,0) on the origin; the curves stay.
    /usr/bin/python3 "$data/make_curves.py" curves.dxf || fail "cannot write the curves"
    printf 'USD\nclick 选择曲线\nall\n\n500,0\nok\nQUIT\n' >s.scr
    run_script s.scr --save saved.dxf curves.dxf
    grep -q "找到 4 个" out || fail "the four curves were not selected: $(cat out)"
    check 4 --area=892699.0816987241 --extent=-500,0,500,500 ;;
  library_pick)
    # The default outline saved as B截面, a drawn triangle as A截面; the list shows them sorted
    # and B截面 picked back is drawn, not the triangle the dialog shows last.
    cat >s.scr <<SCR
USD
click 保存到库
type 203 B截面
ok
click 绘制截面
0,0
600,0
0,600
C
0,0
click 保存到库
type 203 A截面
ok
click 图库管理
print 200
select 200 "B截面"
click 选择
ok
QUIT
SCR
    run_script s.scr --save saved.dxf
    grep -A3 "对话框“异形构件库”: print 200" out | tr -d ' ' | grep -qz "0A截面.*1B截面" ||
      fail "the list is not sorted: $(cat out)"
    check 0 "$default_outline" ;;
  *) fail "unknown case" ;;
esac
echo "PASS ($case_name)"
