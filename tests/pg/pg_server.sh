#!/usr/bin/env bash
# A throwaway PostgreSQL server for the library tests and benchmarks, in a folder of its own:
# reached only through a socket in that folder (no TCP port, so servers of several builds
# never meet), one superuser "contura" whose password is in DIR/password.
#
# usage: pg_server.sh start DIR [durable]   make a new cluster in DIR and start it (durable:
#                                           keep fsync on, for benchmarks; else off)
#        pg_server.sh stop DIR              stop it and remove DIR
#        pg_server.sh restart DIR           stop it (fast: sessions are cut) and start it again
#        pg_server.sh newdb DIR NAME        make database NAME and print its address
# Runs the server as user postgres (or nobody) when started as root, since the server refuses
# to run as root. Exit code 77 when PostgreSQL is not installed, outside CI; 1 under CI.
set -euo pipefail
command=$1
dir=$(realpath -m "$2")

bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
if [ -z "$bindir" ] || [ ! -x "$bindir/initdb" ]; then
  echo "pg_server.sh: PostgreSQL is not installed (no /usr/lib/postgresql/*/bin/initdb)" >&2
  [ "${CI:-}" = true ] && exit 1
  exit 77
fi

as_server() {
  if [ "$(id -u)" = 0 ]; then
    local user=postgres
    id -u "$user" >/dev/null 2>&1 || user=nobody
    runuser -u "$user" -- "$@"
  else
    "$@"
  fi
}

server_options() {
  local options="-k $dir -c listen_addresses= -c max_connections=40"
  [ -e "$dir/durable" ] || options+=" -c fsync=off -c synchronous_commit=off -c full_page_writes=off"
  echo "$options"
}

start_server() {
  as_server "$bindir/pg_ctl" -D "$dir/data" -l "$dir/log" -o "$(server_options)" -w -t 30 start >/dev/null
}

case $command in
  start)
    as_server "$bindir/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$dir"
    mkdir -p "$dir"
    [ "${3:-}" = durable ] && touch "$dir/durable"
    head -c 12 /dev/urandom | od -An -tx1 | tr -d ' \n' >"$dir/password"
    if [ "$(id -u)" = 0 ]; then
      user=postgres
      id -u "$user" >/dev/null 2>&1 || user=nobody
      chown -R "$user" "$dir"
      chmod 755 "$dir"
    fi
    as_server "$bindir/initdb" -D "$dir/data" -U contura --auth=scram-sha-256 --pwfile="$dir/password" \
      -E UTF8 --no-sync >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
    start_server || { cat "$dir/log" >&2; exit 1; } ;;
  stop)
    as_server "$bindir/pg_ctl" -D "$dir/data" -m fast stop >/dev/null 2>&1 || true
    rm -rf "$dir" ;;
  restart)
    as_server "$bindir/pg_ctl" -D "$dir/data" -m fast stop >/dev/null
    start_server ;;
  newdb)
    name=$3
    password=$(cat "$dir/password")
    address="postgresql://contura:$password@/$name?host=$dir"
    PGOPTIONS="-c client_min_messages=warning" psql -X -q -v ON_ERROR_STOP=1 \
      -d "postgresql://contura:$password@/postgres?host=$dir" \
      -c "DROP DATABASE IF EXISTS \"$name\"" -c "CREATE DATABASE \"$name\"" >/dev/null
    # What the checks of the library tests ask, in the words the sqlite3 tool knows.
    psql -X -q -v ON_ERROR_STOP=1 -d "$address" >/dev/null <<'SQL'
CREATE EXTENSION amcheck;
CREATE FUNCTION quote(text) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT coalesce(quote_literal($1), 'NULL') $$;
CREATE FUNCTION quote(bigint) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT coalesce($1::text, 'NULL') $$;
CREATE FUNCTION group_concat_step(text, text, text) RETURNS text LANGUAGE sql IMMUTABLE AS
  $$ SELECT CASE WHEN $2 IS NULL THEN $1 WHEN $1 IS NULL THEN $2 ELSE $1 || $3 || $2 END $$;
CREATE AGGREGATE group_concat(text, text) (SFUNC = group_concat_step, STYPE = text);
SQL
    echo "$address" ;;
  *)
    echo "usage: pg_server.sh start|stop|restart|newdb DIR [NAME]" >&2
    exit 2 ;;
esac
