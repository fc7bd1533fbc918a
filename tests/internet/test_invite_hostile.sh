#!/usr/bin/env bash
# A hostile client in the second home: an oversized message, a huge packet, a flood of
# registrations, a host that would send its joiner to third parties' addresses, a relay without a
# pairing and the server's own relay message. The server refuses all of it, stays up, and then pairs
# a real joiner from the same home with the waiting host for a game.
. "$(dirname "$0")/lib.sh"
HOSTILE="$ZIB_BUILD/zib_hostile_client"
[ -x "$HOSTILE" ] || fail "no zib_hostile_client beside zib ($HOSTILE)"
host_with_code keep keep --log-level debug
timeout 60 ip netns exec "$NS_HOME2" "$HOSTILE" "$EXT.2" 47778 >"$WORK/hostile.log" 2>&1 ||
    fail "the server took what it must refuse: $(cat "$WORK/hostile.log")"
log "$(tr '\n' ';' <"$WORK/hostile.log")"
kill -0 "$SERVER_PID" 2>/dev/null || fail "the server ended"
start_joiner_with "$NS_HOME2" --join "$CODE" --server "$EXT.2"
wait_for "the pairing" 10 grep -q "pairing $CODE" "$WORK/server.log"
play_game
log "passed"
