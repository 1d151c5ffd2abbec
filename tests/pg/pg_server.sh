#!/usr/bin/env bash
# A throwaway PostgreSQL server for the library tests and benchmarks. Its files live in a new
# folder under the system temp folder (short enough for the server's socket path, and
# reachable by the server's user wherever DIR is); DIR keeps where that folder is and the
# password. It is reached only through its socket (no TCP port, so servers of several builds
# never meet), with one superuser "contura".
#
# usage: pg_server.sh start DIR [durable]   make a new cluster and start it (durable: keep
#                                           fsync on, for benchmarks; else off)
#        pg_server.sh stop DIR              stop it and remove its files and DIR
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

server_user=
if [ "$(id -u)" = 0 ]; then
  server_user=postgres
  id -u "$server_user" >/dev/null 2>&1 || server_user=nobody
fi
as_server() {
  if [ -n "$server_user" ]; then runuser -u "$server_user" -- "$@"; else "$@"; fi
}

files() { cat "$dir/server" 2>/dev/null || true; }  # the folder of the server's files

server_options() {
  local options="-k $1 -c listen_addresses= -c max_connections=40"
  [ -e "$dir/durable" ] || options+=" -c fsync=off -c synchronous_commit=off -c full_page_writes=off"
  echo "$options"
}

start_server() {
  local at
  at=$(files)
  as_server "$bindir/pg_ctl" -D "$at/data" -l "$at/log" -o "$(server_options "$at")" -w -t 30 start >/dev/null ||
    { cat "$at/log" >&2; return 1; }
}

stop_server() {
  local at
  at=$(files)
  [ -n "$at" ] && [ -d "$at/data" ] && as_server "$bindir/pg_ctl" -D "$at/data" -m "$1" stop >/dev/null 2>&1
}

remove_all() {
  local at
  at=$(files)
  [ -z "$at" ] || rm -rf "$at"
  rm -rf "$dir"
}

case $command in
  start)
    stop_server immediate || true
    remove_all
    mkdir -p "$dir"
    [ "${3:-}" = durable ] && touch "$dir/durable"
    at=$(mktemp -d /tmp/contura-pg-XXXXXX)
    echo "$at" >"$dir/server"
    head -c 12 /dev/urandom | od -An -tx1 | tr -d ' \n' >"$dir/password"
    cp "$dir/password" "$at/password"
    chmod 755 "$at"
    [ -z "$server_user" ] || chown -R "$server_user" "$at"
    as_server "$bindir/initdb" -D "$at/data" -U contura --auth=scram-sha-256 --pwfile="$at/password" \
      -E UTF8 --no-sync >"$at/initdb.log" 2>&1 || { cat "$at/initdb.log" >&2; exit 1; }
    start_server ;;
  stop)
    stop_server fast || true
    remove_all ;;
  restart)
    stop_server fast
    start_server ;;
  newdb)
    name=$3
    password=$(cat "$dir/password")
    address="postgresql://contura:$password@/$name?host=$(files)"
    PGOPTIONS="-c client_min_messages=warning" psql -X -q -v ON_ERROR_STOP=1 \
      -d "postgresql://contura:$password@/postgres?host=$(files)" \
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
