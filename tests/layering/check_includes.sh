#!/usr/bin/env bash
# Fails when a source under the given folders includes an operating-system, SQLite, Qt or iconv
# header, or a platform-internal contura/<layer>/ header: module and sibling code sees only the
# host-named headers and the C++ standard library.
# usage: check_includes.sh DIR...
set -euo pipefail

forbidden='^(contura/(os|ge|afx|rx|db|ed|ui|dao|dxf)/'
forbidden+='|sqlite3\.h|sqlite3ext\.h|iconv\.h'
forbidden+='|Qt|Q[A-Z][A-Za-z]*(\.h)?$|qt'
forbidden+='|(sys|netinet|arpa|linux|asm|bits)/'
forbidden+='|(unistd|dlfcn|pthread|fcntl|dirent|termios|poll|pwd|grp|netdb|sched|semaphore|spawn'
forbidden+='|syslog|libgen|fnmatch|glob|wordexp|langinfo|strings|utime|aio|regex|link|elf'
forbidden+='|execinfo|ucontext|mqueue|ftw|nl_types|utmpx|termio|gnu/libc-version|malloc)\.h$)'

status=0
for dir in "$@"; do
  [ -d "$dir" ] || { echo "check_includes: no folder $dir" >&2; exit 2; }
  while IFS= read -r -d '' file; do
    lineno=0
    while IFS= read -r line || [ -n "$line" ]; do
      lineno=$((lineno + 1))
      if [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*[\<\"]([^\>\"]+)[\>\"] ]]; then
        header=${BASH_REMATCH[1]}
        if [[ $header =~ $forbidden ]]; then
          echo "$file:$lineno: forbidden include <$header>"
          status=1
        fi
      fi
    done < "$file"
  done < <(find "$dir" -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' -o -name '*.inl' \) -print0)
done
exit $status
