#!/usr/bin/env bash
# End-to-end runs of the program `contura`: transcripts of scripts, and how it ends on bad
# usage and missing files.
# usage: e2e.sh CASE CONTURA DATA_DIR NOT_A_MODULE
set -uo pipefail
case_name=$1
contura=$2
data=$3
not_a_module=$4
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
    printf '命令: 命令 USD 尚未实现。\n命令: 未知命令“NOSUCH”。\n命令: \n' >"$work/expected"
    expect_same "$work/expected" ;;
  bad_option)
    run -- --script "$data/commands.scr" --frobnicate
    expect_code 2
    expect_one_line_error "unknown option '--frobnicate'" ;;
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
