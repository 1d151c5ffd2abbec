#!/usr/bin/env bash
# End-to-end runs of `contura` on section library files, checked with the sqlite3 tool.
# usage: library_e2e.sh CASE CONTURA DATA_DIR
set -uo pipefail
case_name=$1
contura=$2
data=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL ($case_name): $*"; exit 1; }

# run args...: runs contura with no terminal input, keeping stdout, stderr and the exit code.
run() {
  "$contura" "$@" >"$work/out" 2>"$work/err" </dev/null
  code=$?
}
expect_code() { [ "$code" -eq "$1" ] || fail "exit code $code, expected $1; stderr: $(cat "$work/err")"; }
sql() { sqlite3 -batch -noheader "$1" "$2"; }

# The table a new library must have: Id assigned by the database in increasing order.
check_new_library() {
  local file=$1
  [ -f "$file" ] || fail "no library at $file"
  [ "$(sql "$file" 'PRAGMA integrity_check')" = ok ] || fail "integrity check failed"
  local columns
  columns=$(sql "$file" "select group_concat(name, ',') from pragma_table_info('SectionInfo')")
  [ "$columns" = "Id,Type,GroupSec,Name,SectionInfo,Remark" ] || fail "columns: $columns"
  [ "$(sql "$file" 'select count(*) from SectionInfo')" = 0 ] || fail "a new library is not empty"
  # Keys are given by the database and keep growing after the last row goes.
  sql "$file" "insert into SectionInfo (Type,GroupSec,Name,SectionInfo,Remark) values (1,1,'a','','');
               insert into SectionInfo (Type,GroupSec,Name,SectionInfo,Remark) values (1,1,'b','','');
               delete from SectionInfo where Name='b';
               insert into SectionInfo (Type,GroupSec,Name,SectionInfo,Remark) values (1,1,'c','','')"
  [ "$(sql "$file" "select group_concat(Id, ',') from SectionInfo")" = "1,3" ] ||
    fail "keys: $(sql "$file" "select group_concat(Id, ',') from SectionInfo")"
}

case $case_name in
  new_library)
    run --new-library "$work/new/folder/lib.mdb"
    expect_code 0
    grep -q "lib.mdb" "$work/out" || fail "no report of the file made: $(cat "$work/out")"
    [ ! -s "$work/err" ] || fail "unexpected stderr: $(cat "$work/err")"
    check_new_library "$work/new/folder/lib.mdb" ;;
  new_library_refuses)
    # An existing library keeps its rows; any other existing file is left byte for byte.
    run --new-library "$work/lib.mdb"
    expect_code 0
    sql "$work/lib.mdb" "insert into SectionInfo (Type,GroupSec,Name) values (3,2,'kept')"
    run --new-library "$work/lib.mdb"
    expect_code 1
    grep -q "lib.mdb" "$work/err" || fail "the refusal does not name the file: $(cat "$work/err")"
    [ "$(sql "$work/lib.mdb" 'select Name from SectionInfo')" = kept ] || fail "the library was changed"
    printf 'not a library\n' >"$work/notes.txt"
    run --new-library "$work/notes.txt"
    expect_code 1
    [ "$(cat "$work/notes.txt")" = "not a library" ] || fail "an existing file was overwritten"
    run --new-library ""
    expect_code 2 ;;
  new_library_drive)
    # The module's fixed path through --drive, matching existing folders in any letter case.
    mkdir -p "$work/e/_VELMORA/VLMR"
    run --drive "E=$work/e" --new-library 'E:\_Velmora\vlmr\Support\SectionLib.mdb'
    expect_code 0
    check_new_library "$work/e/_VELMORA/VLMR/Support/SectionLib.mdb"
    [ ! -e "$work/e/_Velmora" ] || fail "a second folder was made instead of matching _VELMORA"
    run --drive "E=$work/e" --new-library 'e:/_velmora/vlmr/support/sectionlib.mdb'
    expect_code 1 ;;
  *)
    fail "unknown case" ;;
esac
exit 0
