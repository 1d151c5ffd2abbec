#!/usr/bin/env bash
# Checks the include checker itself: every fixture under bad/ must be refused on its own and
# the good/ fixture accepted.
# usage: selftest.sh CHECKER FIXTURE_DIR
set -euo pipefail
checker=$1
fixtures=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
if ! bash "$checker" "$fixtures/good" >/dev/null; then
  echo "the good fixture was refused"
  status=1
fi
for bad in "$fixtures"/bad/*; do
  rm -rf "$work"/case && mkdir -p "$work"/case && cp "$bad" "$work"/case/
  if bash "$checker" "$work"/case >/dev/null; then
    echo "not refused: $(basename "$bad")"
    status=1
  fi
done
exit $status
