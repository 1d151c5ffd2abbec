#!/usr/bin/env bash
# End-to-end runs of a module built against Contura.arx, loaded with --load after it: its
# commands measure outline texts through CSectionString and run the section dialog on a record
# and list of their own; each transcript is compared whole.
# usage: consumer_e2e.sh CASE CONTURA DATA_DIR CONSUMER_MODULE
set -uo pipefail
case_name=$1
contura=$2
data=$3
consumer=$4
. "$(dirname "$0")/common.sh"

case $case_name in
  outline | pick)
    run_script "$data/$case_name.scr" --load "$consumer"
    diff -u "$data/$case_name.transcript" "$work/out" || fail "transcript differs from $data/$case_name.transcript"
    [ ! -s "$work/err" ] || fail "unexpected stderr: $(cat "$work/err")" ;;
  *) fail "unknown case" ;;
esac
echo "ok ($case_name)"
