#!/usr/bin/env bash
# Installs the SDK into a prefix under the build folder, builds examples/sdk against that
# prefix alone, runs its commands in contura on a drawing written by ezdxf, and checks the
# transcript and the saved drawing (read back with ezdxf); the same for the area takeoff module.
# usage: sdk_test.sh BUILD_DIR EXAMPLE_DIR CONTURA DATA_DIR CMAKE
set -uo pipefail
build=$1 example=$2 contura=$3 data=$4 cmake=$5
fail() { echo "FAIL: $*"; exit 1; }

# Without ezdxf the drawing can be neither written nor checked: a failure under CI, a skip
# elsewhere.
if ! /usr/bin/python3 -c 'import ezdxf' 2>/dev/null; then
  [ "${CI:-}" = true ] && fail "python3-ezdxf is missing"
  echo "SKIP: python3-ezdxf is missing"
  exit 77
fi

root="$build/sdk-test"
rm -rf "$root"
mkdir -p "$root/fonts" "$root/run"
"$cmake" --install "$build" --prefix "$root/prefix" >"$root/install.log" 2>&1 ||
  fail "install failed: $(tail -5 "$root/install.log")"
[ -f "$root/prefix/lib/cmake/ConturaSDK/ConturaSDKConfig.cmake" ] || fail "no package file installed"
for header in dbmain.h afxwin.h DwgDatabase.h SectionString.h UserSectionInfo.h AcDbVarCommon.h; do
  [ -f "$root/prefix/include/contura-sdk/$header" ] || fail "header $header not installed"
done

# The example sees the prefix and nothing of the source tree.
"$cmake" -S "$example" -B "$root/example" -G Ninja -DCMAKE_PREFIX_PATH="$root/prefix" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$root/configure.log" 2>&1 ||
  fail "configure failed: $(tail -5 "$root/configure.log")"
"$cmake" --build "$root/example" >"$root/build.log" 2>&1 || fail "build failed: $(tail -20 "$root/build.log")"
source=$(cd "$example/../.." && pwd)
grep -q "$source/\(platform\|contura\|siblings\)/" "$root/example/build.ninja" &&
  fail "the example was built with the source tree"
module="$root/example/LayerTools.arx"
[ -f "$module" ] || fail "no module built"

cd "$root/run"
/usr/bin/python3 "$data/make_drawing.py" received.dxf || fail "cannot write the drawing"
: >"$root/fonts/simplex.shx"
"$contura" --load "$module" --fonts "$root/fonts" --script "$data/layertools.scr" --save saved.dxf received.dxf \
  >out 2>err || fail "contura failed: $(cat err)"
diff -u "$data/layertools.transcript" out || fail "the transcript differs"
/usr/bin/python3 "$data/check_drawing.py" saved.dxf || fail "the saved drawing is wrong"

# Area takeoff and breaking at crossings on a slab bounded by crossing walls and an arc.
area="$root/example/AreaTools.arx"
[ -f "$area" ] || fail "no AreaTools module built"
/usr/bin/python3 "$data/make_area_drawing.py" slab.dxf || fail "cannot write the slab"
"$contura" --load "$area" --script "$data/areatools.scr" --save slab-saved.dxf slab.dxf >area-out 2>area-err ||
  fail "contura failed on the slab: $(cat area-err)"
diff -u "$data/areatools.transcript" area-out || fail "the area transcript differs"
/usr/bin/python3 "$data/check_area_drawing.py" slab-saved.dxf || fail "the slab drawing is wrong"

# A distance, a drag, external references bound (one drawing found only beside the host
# drawing, one missing) and the texts of a block reference.
tools="$root/example/DrawingTools.arx"
[ -f "$tools" ] || fail "no DrawingTools module built"
mkdir -p xref && /usr/bin/python3 "$data/make_xref_drawings.py" xref || fail "cannot write the drawings"
"$contura" --load "$tools" --script "$data/drawingtools.scr" --save xref/bound.dxf xref/host.dxf \
  >tools-out 2>tools-err || fail "contura failed on the references: $(cat tools-err)"
sed "s|$root/run/||g" tools-out | diff -u "$data/drawingtools.transcript" - || fail "the tools transcript differs"
/usr/bin/python3 "$data/check_xref_drawing.py" xref/bound.dxf || fail "the bound drawing is wrong"
echo PASS
