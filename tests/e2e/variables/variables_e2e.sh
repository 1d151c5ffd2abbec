#!/usr/bin/env bash
# End-to-end runs of TJBL and XGBL in the program `contura`: the variable entity each leaves,
# read back as the VarCommon record of a CJLX export, and from a saved drawing with
# python3-ezdxf.
# usage: variables_e2e.sh CASE CONTURA
set -uo pipefail
case_name=$1
contura=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../common.sh"
cd "$work"
# expect_export FILE: FILE (code page 936) holds exactly the text on standard input (UTF-8).
expect_export() {
  iconv -f UTF-8 -t GBK >"$work/expected" || fail "iconv"
  cmp -s "$work/expected" "$1" ||
    fail "export differs: $(diff <(iconv -f GBK -t UTF-8 "$work/expected") <(iconv -f GBK -t UTF-8 "$1"))"
}
# The lines that export every entity of the drawing to $work/$1 with CJLX.
cjlx_export() {
  printf 'CJLX\nall\n\nclick 导出\n%s\nok\n' "$work/$1"
}

# The record of a variable placed at 10,20 by TJBL and left as the command made it.
placed_record() {
  cat <<'TXT'
[VarCommon]
Value=变量
Height=100
Point=10,20
Angle=0
Color=255,0,0
Layer=0
Code=
Visible=1
Sort=0
Condiction=
Remark=
VarInitial=
VarValue=
VarHeight=100
VarPoint=0,0
VarAngle=0
VarColor=255,255,255
VarType=
TXT
}

# TJBL at 10,20, then XGBL on it changing every box (the height and angle boxes through
# their filter, the sort box through its digits-only style), then XGBL again showing the
# stored values.
edit_every_property() {
  cat <<'SCR'
TJBL
10,20
cancel
XGBL
12,22
type 200 高度H
type 201 H1
type 202 300
type 203 自定义类型
type 204 7a
type 205 H>0
type 206 250.5.
type 207 -90
type 208 第一行\n第二行
choose 209 3
print 206
print 207
print 204
ok
XGBL
12,22
show
cancel
SCR
}

edited_record() {
  cat <<'TXT'
[VarCommon]
Value=高度H
Height=100
Point=10,20
Angle=0
Color=255,0,0
Layer=0
Code=H1
Visible=1
Sort=7
Condiction=H>0
Remark=第一行
Remark=第二行
VarInitial=300
VarValue=
VarHeight=250.5
VarPoint=0,0
VarAngle=1.5708
VarColor=0,255,0
VarType=自定义类型
TXT
}

case $case_name in
  tjbl_cancel)
    # TJBL then Cancel: the red variable "变量" with text and value height 100 at the point.
    { printf 'TJBL\n10,20\n'; echo cancel; cjlx_export v.txt; echo QUIT; } >s.scr
    run_script s.scr
    grep -q "找到 1 个" out || fail "not one entity: $(cat out)"
    placed_record | expect_export v.txt
    ;;
  xgbl_every_property)
    { edit_every_property; cjlx_export v.txt; echo QUIT; } >s.scr
    run_script s.scr
    # The filters as typed: "250.5." keeps 250.5, a leading minus is dropped, "7a" keeps 7.
    grep -q "\[206\] 编辑框 “250.5”" out || fail "height box: $(cat out)"
    grep -q "\[207\] 编辑框 “90”" out || fail "angle box: $(cat out)"
    grep -q "\[204\] 编辑框 “7”" out || fail "sort box: $(cat out)"
    # Opened again, the dialog shows what was stored.
    show=$(sed -n '/: show$/,/: cancel$/p' out)
    for line in "[200] 编辑框 “高度H”" "[201] 编辑框 “H1”" "[202] 编辑框 “300”" "[203] 组合框 “自定义类型”" \
                "[204] 编辑框 “7”" "[205] 编辑框 “H>0”" "[206] 编辑框 “250.5”" "[207] 编辑框 “90”" \
                "[209] 下拉列表 “绿”" "[208] 富文本框 “第一行”" "| 第二行"; do
      grep -qF -- "$line" <<<"$show" || fail "reopened dialog lacks '$line': $show"
    done
    edited_record | expect_export v.txt
    ;;
  non_variable)
    # A line drawn from section text, then XGBL on it: an empty dialog whose OK does nothing
    # (it is still open to show itself), then Cancel. The line is exported unchanged.
    cat >line.txt <<'TXT'
[Line]
Point=0,0;100,0
Color=0,0,255
Layer=0
TXT
    cat >s.scr <<SCR
CJLX

click 导入
$work/line.txt
click 修改
ok
XGBL
50,1
type 200 变量
type 206 5
ok
show
cancel
$(cjlx_export v.txt)
QUIT
SCR
    run_script s.scr
    show=$(sed -n '/: show$/,/: cancel$/p' out)
    grep -qF "对话框 “变量设定” (200)" <<<"$show" || fail "the dialog did not stay open after OK: $(cat out)"
    grep -qF "[202] 编辑框 “”" <<<"$show" || fail "boxes not empty: $show"
    grep -qF "[209] 下拉列表 “”" <<<"$show" || fail "a colour was selected: $show"
    cmp -s line.txt v.txt || fail "the line changed: $(iconv -f GBK -t UTF-8 v.txt)"
    ;;
  cancelled_prompts)
    # Cancelled and empty answers end both commands with no message of their own, and leave
    # nothing in the drawing.
    cat >s.scr <<SCR
TJBL
*cancel*
TJBL

XGBL
*cancel*
XGBL

XGBL
500,500
$(cjlx_export v.txt)
QUIT
SCR
    run_script s.scr
    cat >expected <<'TXT'
命令: TJBL
输入插入基点:*cancel*
*取消*
命令: TJBL
输入插入基点:
命令: XGBL
请选择变量类别:*cancel*
*取消*
命令: XGBL
请选择变量类别:
命令: XGBL
请选择变量类别:500,500
命令: CJLX
TXT
    head -n "$(wc -l <expected)" out | diff -u expected - || fail "unexpected transcript"
    grep -q "找到 0 个" out || fail "the drawing is not empty: $(cat out)"
    [ ! -s v.txt ] || fail "something was drawn: $(iconv -f GBK -t UTF-8 v.txt)"
    ;;
  saved_reopened)
    # Edited by XGBL, saved, opened again: ezdxf sees every property, and CJLX in the reopened
    # drawing exports the same record.
    { edit_every_property; echo QUIT; } >s.scr
    run_script s.scr --save "$work/edited.dxf"
    /usr/bin/python3 "$here/var_dxf.py" "$work/edited.dxf" >dump || fail "ezdxf could not read the drawing"
    cat >expected <<'TXT'
VARCOMMON text=高度H at=(10,20,0) color=1 height=100 code=H1 type=自定义类型 initial=300 condition=H>0 remark=['第一行', '第二行'] sort=7 visible=1 value_color=3 value_height=250.5 value_angle=1.5707963705062866
TXT
    diff -u expected dump || fail "the saved variable differs"
    { cjlx_export v.txt; echo QUIT; } >s2.scr
    run_script s2.scr "$work/edited.dxf"
    edited_record | expect_export v.txt
    ;;
  other_versions)
    # --dxf-version: the edited variable saved as R2000 (code page 936) and as R2018 (UTF-8)
    # keeps every property, in a file of the version asked for.
    { edit_every_property; echo QUIT; } >s.scr
    for version in R2000 R2018; do
      run_script s.scr --save "$work/$version.dxf" --dxf-version "$version"
      got=$(/usr/bin/python3 -c 'import ezdxf,sys; print(ezdxf.readfile(sys.argv[1]).dxfversion)' "$work/$version.dxf") ||
        fail "ezdxf could not read the $version drawing"
      case $version in R2000) want=AC1015 ;; R2018) want=AC1032 ;; esac
      [ "$got" = "$want" ] || fail "$version written as $got"
      { cjlx_export "$version.txt"; echo QUIT; } >s2.scr
      run_script s2.scr "$work/$version.dxf"
      edited_record | expect_export "$version.txt"
    done
    ;;
  *) fail "unknown case" ;;
esac
echo "PASS ($case_name)"
