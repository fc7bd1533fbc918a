#!/usr/bin/env bash
# The ZIB server ends while a host waits with its invite code: the host says that the code is no
# longer valid, and once a server answers again it registers anew and prints a new code.
. "$(dirname "$0")/lib.sh"
host_with_code keep keep --log-level debug
first=$CODE
log "first code $first"
kill "$SERVER_PID"
wait "$SERVER_PID" 2>/dev/null || true
lost_line() { grep -q "^ZIB: Server ZIB se odmlčel a kód $first už neplatí; žádám o nový…$" "$WORK/host.log"; }
wait_for "the host to notice" 15 lost_line
start_server --log-level debug
new_code() { has_invite_code && [ "$(invite_code)" != "$first" ]; }
wait_for "a new code" 15 new_code
log "new code $(invite_code) after: $(grep -c '' "$WORK/host.log") lines of the host"
grep -q "got code $(invite_code)" "$WORK/server.log" || fail "the new server did not give that code"
log "passed"
