#!/usr/bin/env bash
# scripts/demo sets up its database, Connect.ini and platform stand-in,
# keeps the demo data between runs, starts afresh on --reset, and never
# replaces a Connect.ini it did not write.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
home=$(mktemp -d)
ini=$repo/build/app/Connect.ini
saved=
if [ -f "$ini" ] && ! grep -q 'written by scripts/demo' "$ini"; then
  saved=$(mktemp) && cp "$ini" "$saved"
fi
cleanup() {
  rm -rf "$home"
  if [ -n "$saved" ]; then mv "$saved" "$ini"; else rm -f "$ini"; fi
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -f "$ini"

export HOME=$home XDG_DATA_HOME=$home/data
"$repo/scripts/demo" --check || fail "first run"
db=$XDG_DATA_HOME/trevalo-demo/demo.fdb
[ -f "$db" ] || fail "no demo database"
grep -q "^database=$db\$" "$ini" || fail "Connect.ini does not name the demo database"
grep -q '^url=https://127.0.0.1:' "$ini" || fail "Connect.ini does not name the stand-in"

# Data added between runs is kept; --reset drops it.
export FIREBIRD_LOCK=$XDG_DATA_HOME/trevalo-demo/lock
printf "insert into BoletoCedente (BCECODIGO) values (1);\ncommit;\n" | isql-fb -q -b -user SYSDBA "$db"
count() { printf 'select count(*) from BoletoCedente;\n' | isql-fb -q -b -user SYSDBA "$db" | awk 'NF == 1 && $1 ~ /^[0-9]+$/ { print $1 }'; }
"$repo/scripts/demo" --check || fail "second run"
[ "$(count)" = 1 ] || fail "the demo data was not kept"
"$repo/scripts/demo" --reset --check || fail "run with --reset"
[ "$(count)" = 0 ] || fail "--reset kept the old data"

# Someone else's Connect.ini stays as it is.
printf '[TORVELA]\ndatabase=servidor:/producao.fdb\n' >"$ini"
if "$repo/scripts/demo" --check 2>/dev/null; then fail "replaced a foreign Connect.ini"; fi
grep -q producao "$ini" || fail "changed a foreign Connect.ini"
echo "demo set-up: 1 passed, 0 failed"
