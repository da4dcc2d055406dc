#!/usr/bin/env bash
# scripts/create-database makes a new database with the program's tables
# on the test server, and refuses to touch one that already has them.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
: "${TREVALO_TEST_FB_HOST:?the test server is not configured}"
fail() { echo "FAIL: $*" >&2; exit 1; }
db=$TREVALO_TEST_FB_HOST/$TREVALO_TEST_FB_PORT:$TREVALO_TEST_FB_DIR/production-$$.fdb
pw=$TREVALO_TEST_FB_PASSWORD

"$repo/scripts/create-database" "$db" SYSDBA "$pw" || fail "could not create $db"
tables=$(printf "CONNECT '%s' USER 'SYSDBA' PASSWORD '%s';\nselect count(*) from rdb\$relations where rdb\$relation_name starting with 'BOLETO';\n" "$db" "$pw" |
  isql-fb -q -b | awk 'NF == 1 && $1 ~ /^[0-9]+$/ { print $1 }')
[ "$tables" = 3 ] || fail "expected the three Boleto tables, found ${tables:-none}"
if "$repo/scripts/create-database" "$db" SYSDBA "$pw" 2>/dev/null; then fail "touched a database with the tables"; fi
if "$repo/scripts/create-database" "$db" SYSDBA wrong 2>/dev/null; then fail "accepted a wrong password"; fi
echo "create-database: 1 passed, 0 failed"
