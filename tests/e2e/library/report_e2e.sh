#!/usr/bin/env bash
# End-to-end runs of `contura --library-report` on a generated library of known sections: the
# CSV read back by Python's csv module, and the HTML page in a headless browser.
# usage: report_e2e.sh CASE CONTURA DATA_DIR [CHROMIUM SCREENSHOT]
set -uo pipefail
case_name=$1
contura=$2
data=$3
. "$(dirname "$0")/../common.sh"

# run args...: runs contura with no terminal input, keeping stdout, stderr and the exit code.
run() {
  "$contura" "$@" >"$work/out" 2>"$work/err" </dev/null
  code=$?
}

drive="$work/e"
library="$drive/_Velmora/vlmr/Support/SectionLib.mdb"
mkdir -p "$drive"
"$contura" --drive "E=$drive" --new-library 'E:\_Velmora\vlmr\Support\SectionLib.mdb' >/dev/null ||
  fail "cannot make the library"
python3 "$data/report_library.py" make "$library" 200 "$work/expected.json" || fail "cannot fill the library"

# The library at the module's path, as the module finds it through the drive map.
run --drive "E=$drive" --library-report "$work/cat"
expect_code 0
grep -q "200 sections (1 without measures)" "$work/out" || fail "summary: $(cat "$work/out")"


case $case_name in
  report_csv)
    [ "$(python3 "$data/report_library.py" check "$work/cat" "$work/expected.json")" = 200 ] || fail "CSV check"
    # The same library named by --library, and a library that is not there.
    "$contura" --library "$library" --library-report "$work/again" >/dev/null 2>&1 || fail "--library FILE"
    cmp -s "$work/cat.csv" "$work/again.csv" || fail "--library gives another table"
    run --library "$work/missing.mdb" --library-report "$work/none"
    expect_code 1
    grep -q "library-report" "$work/err" && [ ! -e "$work/none.csv" ] || fail "a missing library: $(cat "$work/err")"
    ;;
  report_html)
    chromium=$4
    [ "$(grep -c '<div class="card"' "$work/cat.html")" = 200 ] || fail "not one card per section"
    grep -q '截面轮廓无法读出' "$work/cat.html" || fail "the unreadable section has no card saying so"
    ! grep -Eq '<(script|link|img)[^>]*(src|href)=' "$work/cat.html" || fail "the page loads something from outside"
    # Typing into the search box through its own input event: only matching cards stay.
    sed 's|</body>|<script>var s=document.getElementById("search");s.value="空心柱1";s.dispatchEvent(new Event("input"));</script></body>|' \
      "$work/cat.html" >"$work/typed.html"
    "$chromium" --headless --no-sandbox --disable-gpu --virtual-time-budget=3000 --dump-dom \
      "file://$work/typed.html" >"$work/dom.html" 2>"$work/chromium.err" || fail "chromium: $(tail -3 "$work/chromium.err")"
    shown=$(grep -o '<div class="card"[^>]*>' "$work/dom.html" | grep -vc 'hidden')
    want=$(python3 -c "import json,sys; e=json.load(open(sys.argv[1])); print(sum('空心柱1' in v['name']+' '+str(v['code'])+' '+v['remark'] for v in e.values()))" "$work/expected.json")
    [ "$want" -gt 0 ] && [ "$shown" = "$want" ] || fail "after typing: $shown cards shown, expected $want"
    grep -q "<span id=\"count\">$want 个截面</span>" "$work/dom.html" || fail "the count line does not follow"
    # The page as a person sees it.
    "$chromium" --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1280,900 \
      --screenshot="$5" "file://$work/cat.html" >/dev/null 2>&1 && [ -s "$5" ] || fail "no screenshot"
    ;;
  *) fail "unknown case" ;;
esac
echo "PASS ($case_name)"
