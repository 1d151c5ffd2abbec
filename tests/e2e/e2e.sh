#!/usr/bin/env bash
# End-to-end runs of the program `contura`: transcripts of scripts, and how it ends on bad
# usage and missing files.
# usage: e2e.sh CASE CONTURA DATA_DIR NOT_A_MODULE [CONSUMER_MODULE]
set -uo pipefail
case_name=$1
contura=$2
data=$3
not_a_module=$4
consumer=${5:-}
. "$(dirname "$0")/common.sh"

# run [env...] -- args...: runs contura, keeping stdout, stderr and the exit code.
run() {
  local envs=()
  while [ "$1" != "--" ]; do envs+=("$1"); shift; done
  shift
  env "${envs[@]}" "$contura" "$@" >"$work/out" 2>"$work/err" <"${STDIN:-/dev/null}"
  code=$?
}

# expect_same FILE: the transcript is FILE, where the scratch folder is written $WORK.
expect_same() { sed "s|$work|\$WORK|g" "$work/out" | diff -u "$1" - || fail "transcript differs from $1"; }
expect_one_line_error() {
  [ "$(wc -l <"$work/err")" -eq 1 ] || fail "expected one line on stderr, got: $(cat "$work/err")"
  grep -q -- "$1" "$work/err" || fail "stderr lacks '$1': $(cat "$work/err")"
  [ ! -s "$work/out" ] || fail "unexpected output: $(cat "$work/out")"
}

case $case_name in
  consumer_outline | consumer_pick)
    # A module built against Contura.arx, loaded after it, measures outline texts and runs the
    # section dialog on a record and list of its own.
    run -- --load "$consumer" --script "$data/consumer/${case_name#consumer_}.scr"
    expect_code 0
    expect_same "$data/consumer/${case_name#consumer_}.transcript"
    [ ! -s "$work/err" ] || fail "unexpected stderr: $(cat "$work/err")" ;;
  transcript)
    # Drive E: is an empty folder: the library command says that its file is missing.
    run -- --drive "E=$work/e" --script "$data/commands.scr"
    expect_code 0
    expect_same "$data/commands.transcript"
    [ ! -s "$work/err" ] || fail "unexpected stderr: $(cat "$work/err")" ;;
  transcript_stdin)
    STDIN="$data/commands.scr" run -- --drive "E=$work/e" --script -
    expect_code 0
    expect_same "$data/commands.transcript" ;;
  end_of_input)
    run -- --script "$data/end_of_input.scr"
    expect_code 0
    expect_same "$data/end_of_input.transcript" ;;
  terminal)
    # Without --script the prompts are shown and the typed answers are not echoed.
    STDIN="$data/end_of_input.scr" run -- --drive "E=$work/e"
    expect_code 0
    # The dialog of USD shows itself as text and asks for an action.
    cat >"$work/expected" <<'EXPECTED'
命令: 对话框 “截面信息” (203) 513 x 400
  [205] 按钮 “绘制截面” （焦点）
  [206] 按钮 “选择曲线”
  [210] 按钮 “保存到库”
  [207] 按钮 “图库管理”
  [1] 按钮 “确定”
  [2] 按钮 “取消”
  [204] Draw2DCtrl “outline 1, base point 1”
对话框“截面信息”: 命令: 未知命令“NOSUCH”。
EXPECTED
    printf '命令: \n' >>"$work/expected"
    expect_same "$work/expected" ;;
  bad_option)
    run -- --script "$data/commands.scr" --frobnicate
    expect_code 2
    expect_one_line_error "unknown option '--frobnicate'"
    : >"$work/a-file"
    run -- --script "$data/commands.scr" --preview-dir "$work/a-file/previews"
    expect_code 2
    expect_one_line_error "--preview-dir '$work/a-file/previews' cannot be written" ;;
  bad_drive)
    run -- --drive E
    expect_code 2
    expect_one_line_error "contura:" ;;
  unavailable_option)
    if "$contura" --help | grep -q "Not built yet: --gui"; then
      run -- --gui
      expect_code 2
      expect_one_line_error "--gui"
    else  # a build with its window: without a display there is nothing to show it on
      run -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -- --gui
      expect_code 1
      expect_one_line_error "--gui needs a display"
      # A display that is named but not there is said in one line (Qt would abort).
      run -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:87 -- --gui
      expect_code 1
      expect_one_line_error "no X server answers on DISPLAY=:87"
    fi ;;
  missing_script)
    run -- --script "$work/no such script.scr"
    expect_code 2
    expect_one_line_error "cannot read script"
    run -- --script "$work"
    expect_code 2
    expect_one_line_error "cannot read script" ;;
  missing_module)
    run CONTURA_MODULE="$work/Missing.arx" -- --script "$data/commands.scr"
    expect_code 1
    expect_one_line_error "Missing.arx" ;;
  not_a_module)
    run CONTURA_MODULE="$not_a_module" -- --script "$data/commands.scr"
    expect_code 1
    expect_one_line_error "acrxEntryPoint" ;;
  demo_commands)
    # The demo's first script answers every dialog it opens: no command typed into a dialog,
    # no command unknown, no request left open at its end.
    run -- --drive "E=$work/e" --script "$(dirname "$0")/../../examples/scripts/commands.scr"
    expect_code 0
    ! grep -E "无效的对话框操作|未知命令" "$work/out" || fail "the demo script does not answer what it opens"
    [ "$(tail -n 1 "$work/out")" = "命令: QUIT" ] || fail "the demo script ends elsewhere: $(tail -n 3 "$work/out")" ;;
  help)
    run -- --help
    expect_code 0
    grep -q -- "--script FILE" "$work/out" || fail "help lacks --script" ;;
  version)
    run -- --version
    expect_code 0
    grep -Eq '^contura [0-9]+\.[0-9]+\.[0-9]+$' "$work/out" || fail "version: $(cat "$work/out")" ;;
  *)
    echo "e2e.sh: unknown case $case_name" >&2
    exit 2 ;;
esac
echo "ok ($case_name)"
