#!/usr/bin/env bash
# Fails unless Contura.arx exports every member CDwgDatabase's public header declares, with as
# many overloads as the header gives each name.
# usage: check_members.sh HEADER MODULE
set -euo pipefail
header=$1 module=$2
declared=$(grep -E '^  (static )?([A-Za-z_][A-Za-z0-9_:<>,&* ]* )?[~A-Za-z_][A-Za-z0-9_=]*\(' "$header" |
           sed -E 's/\(.*//; s/.* //' | sort | uniq -c)
exported=$(nm -DC --defined-only "$module" | grep -oE 'CDwgDatabase::[~A-Za-z_][A-Za-z0-9_=]*\(.*\)$' |
           sed -E 's/^CDwgDatabase::([^(]*)\(.*/\1/' | sort | uniq -c)
status=0 total=0
while read -r count name; do
  total=$((total + count))
  have=$(awk -v n="$name" '$2 == n { print $1 }' <<<"$exported")
  if [ "${have:-0}" -lt "$count" ]; then
    echo "CDwgDatabase::$name: $count declared, ${have:-0} exported"
    status=1
  fi
done <<<"$declared"
echo "$total members declared"
exit $status
