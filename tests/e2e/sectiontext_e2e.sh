#!/usr/bin/env bash
# End-to-end runs of CJLX in the program `contura`: section text through the information
# view (import, draw back, select, export), the preview picture, refused files, and the
# drawings of the examples opened from DXF and saved again (checked with python3-ezdxf).
# usage: sectiontext_e2e.sh CASE CONTURA DATA_DIR ARTIFACT_DIR EXAMPLES_DXF
set -uo pipefail
case_name=$1
contura=$2
data=$3
artifacts=$4
examples_dxf=$5  # the example drawing the build writes with ezdxf
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
cd "$work"

case $case_name in
  roundtrip_text)
    # The first example drawn into a new drawing and selected again gives itself back.
    cat >s.scr <<SCR
CJLX

click 导入
$data/example1.txt
click 修改
ok
CJLX
all

click 导出
$work/export.txt
ok
QUIT
SCR
    run_script s.scr
    grep -q "找到 2 个" out || fail "the two drawn entities were not selected: $(cat out)"
    cmp "$data/example1.txt" export.txt || fail "exported text differs from the example"
    ;;
  preview_svg)
    # The preview of the second example: the polyline and both texts, rendered by librsvg.
    cat >s.scr <<SCR
CJLX

click 导入
$data/example2.txt
click 预览
print 204
close
ok
QUIT
SCR
    run_script s.scr --preview-dir "$work/pv"
    svg="$work/pv/预览-204.svg"
    [ -s "$svg" ] || fail "no preview picture: $(ls -R "$work/pv" 2>&1)"
    grep -q "polyline 1, text 2" out || fail "the view does not show the records: $(cat out)"
    grep -q ">FIRST LINE</text>" "$svg" || fail "first text missing"
    grep -q ">SECOND LINE</text>" "$svg" || fail "second text missing"
    grep -q "<path d=\"M " "$svg" || fail "polyline missing"
    if command -v rsvg-convert >/dev/null; then
      mkdir -p "$artifacts"
      rsvg-convert "$svg" -o "$artifacts/preview-example2.png" || fail "rsvg-convert refused the picture"
      [ "$(stat -c %s "$artifacts/preview-example2.png")" -gt 1000 ] || fail "rendered picture is empty"
    fi
    ;;
  refused_files)
    # A missing file and an unwritable one are refused with a message and the held text
    # stays; a section text of over 20 MB is read whole, saying how far it has come, and
    # exports byte for byte.
    cp "$data/example1.txt" big.txt
    while [ "$(stat -c %s big.txt)" -lt 20000000 ]; do cat big.txt big.txt >big2.txt && mv big2.txt big.txt; done
    cat >s.scr <<SCR
CJLX

click 导入
$data/example1.txt
click 导入
$work/missing.txt
click 导出
$work/no/such/folder/x.txt
click 导出
$work/export.txt
click 导入
$work/big.txt
click 导出
$work/big-export.txt
ok
QUIT
SCR
    run_script s.scr
    grep -q "无法打开文件 .*missing.txt，未导入。" out || fail "no message for the missing file: $(cat out)"
    grep -q "无法创建文件 .*x.txt，未导出。" out || fail "no message for the unwritable file"
    cmp "$data/example1.txt" export.txt || fail "the held text was lost"
    grep -q "正在导入 .*big.txt：100%" out || fail "no progress for the big file: $(head -c 2000 out)"
    cmp big.txt big-export.txt || fail "the big file did not come back whole"
    # Exporting the big text over the small export on a "full disk" (a 2 MB file size limit):
    # the failure is said and the old export is left whole, with nothing beside it.
    cat >s.scr <<SCR
CJLX

click 导入
$work/big.txt
click 导出
$work/export.txt
yes
ok
QUIT
SCR
    (trap '' XFSZ; ulimit -f 2048; run_script s.scr)
    grep -q "写入文件 .*export.txt 失败（磁盘已满或无法写入），未导出。" out || fail "no message for the full disk: $(tail -c 600 out)"
    cmp "$data/example1.txt" export.txt || fail "the old export was lost on a full disk"
    [ -z "$(ls -A | grep '^\.export\.txt')" ] || fail "temporary files left: $(ls -A)"
    ;;
  dxf_golden)
    # The examples' drawing written by ezdxf, all of it encoded and exported.
    cat >s.scr <<SCR
CJLX
all

click 导出
$work/export.txt
ok
QUIT
SCR
    run_script s.scr "$examples_dxf"
    cmp "$data/examples.golden.txt" export.txt || { diff "$data/examples.golden.txt" export.txt; fail "export differs from the golden file"; }
    ;;
  dxf_modify_twice)
    # Open, encode, export, import the export, draw it twice, save: ezdxf finds two more
    # copies of every entity, in true colours, on the same layers.
    cat >s.scr <<SCR
CJLX
all

click 导出
$work/export.txt
click 导入
$work/export.txt
click 修改
click 修改
ok
QUIT
SCR
    run_script s.scr "$examples_dxf" --save "$work/saved.dxf"
    /usr/bin/python3 "$data/check_copies.py" "$examples_dxf" "$work/saved.dxf" 2 || fail "ezdxf check failed"
    ;;
  *) fail "unknown case" ;;
esac
echo "PASS ($case_name)"
