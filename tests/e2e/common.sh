# Shared by the end-to-end scripts (sourced after setting case_name and contura): a scratch
# folder removed on exit, failing with the case's name, and running contura on a script.
work=$(mktemp -d)
unset CONTURA_LIBRARY  # it would lead the module's library elsewhere
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL ($case_name): $*"; exit 1; }
expect_code() { [ "$code" -eq "$1" ] || fail "exit code $code, expected $1; stderr: $(cat "$work/err")"; }

# run_script SCRIPT [options...]: contura answers every request from SCRIPT; the transcript
# goes to $work/out, standard error to $work/err; an exit code other than 0 fails the case.
run_script() {
  local script=$1
  shift
  "$contura" "$@" --script "$script" >"$work/out" 2>"$work/err"
  code=$?
  expect_code 0
}
