#!/usr/bin/env bash
# Two homes, each behind a router that masquerades and keeps source ports: the host registers with
# the ZIB server on the internet and prints its invite code; the joiner types it, both punch
# through their routers from the game's own socket, and a game is played directly between the two
# homes (the server relays nothing); both replays verify.
. "$(dirname "$0")/lib.sh"
host_with_code keep keep --log-level info
code=$CODE
log "invite code $code: $(grep 'Kód pozvánky' "$WORK/host.log" | tail -n1)"
start_joiner_with "$NS_HOME2" --join "$code" --server "$EXT.2"
wait_for "the pairing" 10 grep -q "pairing $code" "$WORK/server.log"
log "$(grep "pairing $code" "$WORK/server.log")"
# The server names the two routers' public addresses.
grep -q "host $EXT.1:.*joiner $EXT.3:" "$WORK/server.log" || fail "the server saw other addresses"
play_game
! grep -q "relaying" "$WORK/server.log" || fail "the server relayed the game"
log "passed"
