#!/usr/bin/env bash
# End-to-end runs of `contura` on section library files, checked with the sqlite3 tool, or
# (given SERVER_DIR, a server of tests/pg/pg_server.sh) on a library database of their own on
# that server, checked with psql in the same words.
# usage: library_e2e.sh CASE CONTURA DATA_DIR [SERVER_DIR]
set -uo pipefail
case_name=$1
contura=$2
data=$3
server=${4:-}
. "$(dirname "$0")/../common.sh"

# run args...: runs contura with no terminal input, keeping stdout, stderr and the exit code.
run() {
  "$contura" "$@" >"$work/out" 2>"$work/err" </dev/null
  code=$?
}
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


# The library at the module's fixed path, with drive E: in the work folder; or, on a server,
# the database the fixed path is led to with --library.
drive="$work/e"
library="$drive/_Velmora/vlmr/Support/SectionLib.mdb"
shown_library=$library  # as messages name it
library_args=()
if [ -n "$server" ]; then
  address=$(bash "$(dirname "$0")/../../pg/pg_server.sh" newdb "$server" "lib_$case_name") ||
    fail "cannot make the case's database"
  library=$address
  shown_library=$(printf '%s' "$address" | sed -E 's#://([^:@/]*):[^@/]*@#://\1@#')
  library_args=(--library "$address")
  # The library is asked in the sqlite3 tool's words (the database has quote() and
  # group_concat()); PRAGMA integrity_check checks the key index against the table.
  sql() {
    local query=$2
    [ "$query" != "PRAGMA integrity_check" ] ||
      query="select 'ok' from (select bt_index_check('sectioninfo_pkey'::regclass, true)) as checked"
    if [ "$1" = "$library" ]; then psql -X -A -t -q -v ON_ERROR_STOP=1 -d "$address" -c "$query"
    else sqlite3 -batch -noheader "$1" "$query"; fi
  }
fi

# new_library [SQL_FILE]: makes the library at the fixed path (or on the server) and runs the
# seed statements (on a server: in a file first, then copied there with its keys).
new_library() {
  mkdir -p "$drive"
  "$contura" --drive "E=$drive" --new-library 'E:\_Velmora\vlmr\Support\SectionLib.mdb' >/dev/null ||
    fail "cannot make the library"
  [ -z "${1:-}" ] || sqlite3 -batch "$drive/_Velmora/vlmr/Support/SectionLib.mdb" <"$1" ||
    fail "cannot seed the library from $1"
  [ -z "$server" ] || {
    "$contura" --new-library "$address" >/dev/null &&
      "$contura" --copy-library "$drive/_Velmora/vlmr/Support/SectionLib.mdb" "$address" >/dev/null
  } || fail "cannot make the library on the server"
}

# script NAME: runs NAME.scr on the library, checking a clean run and the transcript against
# NAME.transcript (where the scratch folder is written $WORK).
script() {
  "$contura" --drive "E=$drive" "${library_args[@]}" --script "$data/$1.scr" >"$work/$1.out" 2>"$work/$1.err" </dev/null
  code=$?
  expect_code 0
  # The drawing the script changed is not saved, and the run says so; nothing else.
  ! grep -v "changes that were not saved" "$work/$1.err" || fail "$1: unexpected stderr: $(cat "$work/$1.err")"
  sed "s|$work|\$WORK|g" "$work/$1.out" | diff -u "$data/$1.transcript" - || fail "$1: transcript differs"
}

# field ID COLUMN: one column of one row, as sqlite3 prints it (quote() shows text exactly).
field() { sql "$library" "select quote($2) from SectionInfo where Id=$1"; }
rows() { sql "$library" "select count(*) from SectionInfo"; }

# The text the writer gives for the circle of circle.sql once drawn back and picked.
picked_circle="[Circle]
Center=0,0
Radius=50
Color=255,0,0
Layer=0
"
# ... and for the line of 戊 in add_record.sql.
picked_line="[Line]
Point=0,0;100,100
Color=255,255,255
Layer=0
"
q() { printf "'%s'" "$1"; }  # the SQL literal sqlite3's quote() prints for text without quotes

# A drawing holding the circle of circle.sql, drawn by "输出" from a healthy library of its own.
circle_drawing() {
  local good="$work/good"
  mkdir -p "$good"
  "$contura" --drive "E=$good" --new-library 'E:\_Velmora\vlmr\Support\SectionLib.mdb' >/dev/null &&
    sqlite3 -batch "$good/_Velmora/vlmr/Support/SectionLib.mdb" <"$data/circle.sql" &&
    printf 'JMGL\nselect 200 0\nclick 输出\nQUIT\n' |
    "$contura" --drive "E=$good" --script - --save "$work/circle.dxf" >/dev/null 2>&1 ||
    fail "cannot draw the circle"
}

# fingerprint: the library path's content (sum of a file, listing of a folder, or "none"), or
# the server library's rows (or why there are none).
fingerprint() {
  if [ -n "$server" ]; then psql -X -A -t -d "$address" -c "select * from sectioninfo order by id" 2>&1 | sha256sum
  elif [ -d "$library" ]; then ls -la --time-style=+%s.%N "$library"
  elif [ -e "$library" ]; then sha256sum <"$library"; stat -c '%a %s %Y' "$library"
  else echo none; fi
}

# broken_library WHAT NAME [RUNNER...]: JMGL on the library as it is, adding NAME over the
# drawn circle. The dialog goes exactly as in broken_library.transcript, the library is left
# byte for byte, and the lines the platform said are kept in $work/said.
broken_library() {
  local what=$1 name=$2
  shift 2
  circle_drawing
  local before
  before=$(fingerprint)
  sed "s/NAME/$name/" "$data/broken_library.scr" >"$work/broken.scr"
  chmod -R a+rX "$work"
  "$@" "$contura" --drive "E=$drive" "${library_args[@]}" --script "$work/broken.scr" "$work/circle.dxf" \
    >"$work/out" 2>"$work/err" </dev/null
  code=$?
  expect_code 0
  [ ! -s "$work/err" ] || fail "$what: unexpected stderr: $(cat "$work/err")"
  grep '^库文件“' "$work/out" >"$work/said"
  grep -v '^库文件“' "$work/out" | diff -u <(sed "s/NAME/$name/" "$data/broken_library.transcript") - ||
    fail "$what: the dialog went differently"
  [ "$(fingerprint)" = "$before" ] || fail "$what: the library was changed"
}

# said LINE...: the platform said exactly these lines, in this order; a leading FILE stands
# for 库文件“E:\...”（the native path or the server address without its password）.
said() {
  local named='库文件“E:\_Velmora\vlmr\Support\SectionLib.mdb”'"（$shown_library）" line
  for line in "$@"; do printf '%s\n' "${line/#FILE/$named}"; done | diff -u - "$work/said" ||
    fail "the command line said otherwise"
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
  missing_library)
    # No library file: an empty list, empty preview and browser; no file is made.
    mkdir -p "$drive"
    script missing_library
    [ ! -e "$library" ] || fail "opening the library made a file" ;;
  delete_rows)
    new_library "$data/delete_rows.sql"
    script delete_rows
    [ "$(rows)" = 0 ] || fail "rows left: $(rows)" ;;
  add_record)
    new_library "$data/add_record.sql"
    script add_record
    [ "$(rows)" = 3 ] || fail "rows: $(rows)"
    id=$(sql "$library" "select Id from SectionInfo where Name='A'")
    [ "$(field "$id" Type),$(field "$id" GroupSec),$(field "$id" Remark)" = "3,2,''" ] ||
      fail "code, category, remark: $(field "$id" Type),$(field "$id" GroupSec),$(field "$id" Remark)"
    expected="
[SecType]
Name=A
Remark=
Type=3
Group=2
$picked_circle"
    [ "$(field "$id" SectionInfo)" = "$(q "$expected")" ] || fail "stored text: $(field "$id" SectionInfo)" ;;
  modify_record)
    new_library "$data/add_record.sql"
    script modify_record
    id=$(sql "$library" "select Id from SectionInfo where Name='矩形'")
    [ -n "$id" ] || fail "the record was not added"
    before=$(field "$id" SectionInfo)
    [ "$before" = "$(q "
[SecType]
Name=矩形
Remark=
Type=1
Group=2
$picked_circle")" ] || fail "an empty pick changed the added record: $before"
    circle=$(field 1 SectionInfo) line=$(field 2 SectionInfo)
    script modify_record_pick
    [ "$(field "$id" SectionInfo)" = "$(q "$picked_line")" ] || fail "modified text: $(field "$id" SectionInfo)"
    [ "$(field "$id" Name),$(field "$id" Type),$(field "$id" GroupSec),$(field "$id" Remark)" = "'矩形',1,2,''" ] ||
      fail "name, code, category or remark changed"
    [ "$(field 1 SectionInfo)" = "$circle" ] && [ "$(field 2 SectionInfo)" = "$line" ] ||
      fail "another row was changed" ;;
  output)
    new_library "$data/circle.sql"
    script output
    [ "$(sql "$library" "select group_concat(Name, ',') from (select Name from SectionInfo order by Id) as t")" = "圆,加" ] ||
      fail "rows: $(sql "$library" "select group_concat(Name, ',') from SectionInfo")" ;;
  pages)
    new_library "$data/pages.sql"
    script pages ;;
  blank_names)
    new_library "$data/circle.sql"
    script blank_names
    [ "$(rows)" = 2 ] || fail "rows: $(rows)"
    [ "$(sql "$library" "select Name || ',' || Type || ',' || GroupSec || ',' || Remark from SectionInfo where Id=2")" = \
      "矩形,1,1," ] || fail "untouched boxes: $(sql "$library" "select * from SectionInfo where Id=2")" ;;
  broken_missing)
    mkdir -p "$drive"
    broken_library "missing file" 工字钢
    said "FILE不存在，无法打开。请检查文件的位置。" \
         "FILE没有打开，没有读出记录。" \
         "FILE没有打开，新增的记录没有保存。" ;;
  broken_folder)
    mkdir -p "$library"
    broken_library folder 工字钢
    said "FILE是一个文件夹，不是库文件，无法打开。请检查文件的位置。" \
         "FILE没有打开，没有读出记录。" \
         "FILE没有打开，新增的记录没有保存。" ;;
  broken_not_a_library)
    mkdir -p "$(dirname "$library")"
    printf 'Standard Jet DB\0\1\2 an Access file' >"$library"
    broken_library "not a library" 工字钢
    said "FILE不是截面库（需要 SQLite 格式的库文件），无法打开。请换用正确的截面库文件。" \
         "FILE没有打开，没有读出记录。" \
         "FILE没有打开，新增的记录没有保存。" ;;
  broken_no_table)
    mkdir -p "$(dirname "$library")"
    sql "$library" "create table Sections (Id INTEGER PRIMARY KEY)"
    broken_library "no table" 工字钢
    said "FILE中没有表“SectionInfo”，没有读出记录。这个文件不是完整的截面库。" \
         "FILE中没有表“SectionInfo”，新增的记录没有保存。这个文件不是完整的截面库。" ;;
  broken_no_column)
    mkdir -p "$(dirname "$library")"
    sql "$library" "create table SectionInfo (Id INTEGER PRIMARY KEY AUTOINCREMENT, Type INTEGER,
                    GroupSec INTEGER, Name TEXT, SectionInfo TEXT)"
    broken_library "no column" 工字钢
    said "FILE的表“SectionInfo”中没有列“Remark”，新增的记录没有保存。这个文件不是完整的截面库。" ;;
  broken_read_only)
    new_library
    chmod a-w "$library"
    # Permissions do not hold back root: then the program runs as nobody.
    runner=()
    [ "$(id -u)" != 0 ] || runner=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    broken_library read-only 工字钢 "${runner[@]}"
    said "FILE是只读的，新增的记录没有保存。请检查文件的写权限。" ;;
  quote_in_name)
    new_library
    broken_library "quote in the name" "工字'钢"
    said "FILE：要写入的文字中含有单引号（'），语句因此无法执行，新增的记录没有保存。请去掉名称、备注或截面文字中的单引号后重试。" ;;
  concurrent_add_delete)
    # Four programs each add a section and delete it again, 25 times, at the same time: each
    # deletes its own row, so only the circle is left.
    new_library "$data/circle.sql"
    pids=()
    for p in 1 2 3 4; do
      {
        printf 'JMGL\nselect 200 0\nclick 输出\nJMGL\n'
        for i in $(seq 1 25); do printf 'click 增加\ntype 203 进程%s-%s\nok\nall\n\nclick 删除\n' "$p" "$i"; done
        printf 'close\nQUIT\n'
      } >"$work/pairs$p.scr"
      "$contura" --drive "E=$drive" "${library_args[@]}" --script "$work/pairs$p.scr" >"$work/pairs$p.out" \
        2>"$work/pairs$p.err" </dev/null &
      pids+=($!)
    done
    for p in 1 2 3 4; do
      wait "${pids[$((p - 1))]}"
      code=$?
      expect_code 0
      ! grep -v "changes that were not saved" "$work/pairs$p.err" || fail "program $p: $(cat "$work/pairs$p.err")"
      [ "$(grep -c '^找到 1 个$' "$work/pairs$p.out")" = 25 ] || fail "program $p did not pick 25 times"
      ! grep -q '^库文件“' "$work/pairs$p.out" || fail "program $p: $(grep '^库文件“' "$work/pairs$p.out")"
    done
    [ "$(sql "$library" "select group_concat(Name, ',') from SectionInfo")" = 圆 ] ||
      fail "rows left: $(sql "$library" "select group_concat(Name, ',') from SectionInfo")"
    [ "$(sql "$library" 'PRAGMA integrity_check')" = ok ] || fail "integrity check failed" ;;
  server_refused)
    # No server at the address: one line says so, the dialog opens empty, nothing is added.
    shown_library="postgresql://contura@127.0.0.1:1/lib"
    library_args=(--library "$shown_library")
    broken_library "server refused" 工字钢
    said "FILE所在的数据库服务器无法连接，无法打开。请检查服务器是否已启动，以及地址、端口和网络。" \
         "FILE没有打开，没有读出记录。" \
         "FILE没有打开，新增的记录没有保存。" ;;
  server_wrong_password)
    new_library "$data/circle.sql"
    library_args=(--library "$(printf '%s' "$address" | sed -E 's#(://[^:@/]*:)[^@/]*@#\1wrong@#')")
    broken_library "wrong password" 工字钢
    said "FILE所在的数据库服务器不接受连接地址中的用户名或密码，无法打开。请检查用户名和密码。" \
         "FILE没有打开，没有读出记录。" \
         "FILE没有打开，新增的记录没有保存。" ;;
  copy_round_trip)
    # A file with a deleted last row (its key is not given again), a quote, a backslash, a NULL,
    # line ends and text outside code page 936, to the server and back: the same table dump.
    "$contura" --new-library "$work/a.mdb" >/dev/null || fail "cannot make the file"
    sqlite3 -batch "$work/a.mdb" <"$data/delete_rows.sql"
    sqlite3 -batch "$work/a.mdb" "insert into SectionInfo (Type,GroupSec,Name,SectionInfo,Remark) values
      (2,2,'it''s \ 😀',char(13,10)||'[Line]',NULL), (4,4,'gone','','');
      delete from SectionInfo where Name='gone'"
    "$contura" --new-library "$address" >/dev/null || fail "cannot make the table on the server"
    run --new-library "$address"
    expect_code 1
    run --copy-library "$work/a.mdb" "$address"
    expect_code 0
    grep -q "copied 4 sections" "$work/out" || fail "copy to the server: $(cat "$work/out")"
    ! grep -q "$(cat "$server/password")" "$work/out" || fail "the password was printed"
    [ "$(sql "$library" "select group_concat(Id || ':' || Name, ',') from (select * from SectionInfo order by Id) as t")" = \
      "1:丙,2:甲,3:乙,4:it's \ 😀" ] || fail "rows on the server: $(sql "$library" "select * from SectionInfo")"
    run --copy-library "$work/a.mdb" "$address"  # the server library is not empty now
    expect_code 1
    [ "$(rows)" = 4 ] || fail "a refused copy changed the server library"
    # CONTURA_LIBRARY leads the module's fixed path there as --library does.
    CONTURA_LIBRARY=$address run --library-report "$work/report"
    expect_code 0
    [ "$(wc -l <"$work/report.csv")" = 5 ] || fail "report of the server library: $(cat "$work/report.csv")"
    "$contura" --new-library "$work/b.mdb" >/dev/null && run --copy-library "$address" "$work/b.mdb"
    expect_code 0
    diff <(sqlite3 "$work/a.mdb" .dump) <(sqlite3 "$work/b.mdb" .dump) || fail "the dumps differ" ;;
  *)
    fail "unknown case" ;;
esac
exit 0
