#!/usr/bin/env bash
# Fails unless the module exports each named symbol as a defined function.
# usage: check_exports.sh MODULE SYMBOL...
set -euo pipefail
module=$1
shift
[ -f "$module" ] || { echo "check_exports: no module $module" >&2; exit 1; }
exports=$(nm -D --defined-only "$module")
status=0
for symbol in "$@"; do
  if ! grep -Eq "^[0-9a-f]+ T ${symbol}\$" <<<"$exports"; then
    echo "$module does not export $symbol"
    status=1
  fi
done
exit $status
