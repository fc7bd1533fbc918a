#!/usr/bin/env bash
# Host and joiner in the same home, behind one router that does not send packets back in to its own
# network (no hairpin): the public address the server names cannot be reached from inside, but the
# host's address on the home network, which it told the server, can. The joiner races both and
# connects on the home network; a game is played and both replays verify.
. "$(dirname "$0")/lib.sh"
host_with_code keep keep --log-level info
start_joiner_with "$NS_HOME" --join "$CODE" --server "$EXT.2"
wait_for "the pairing" 10 grep -q "pairing $CODE" "$WORK/server.log"
joined() { grep -q "^ZIB: Připojeno k hostiteli" "$WORK/joiner.log"; }
wait_for "the joiner's connection" 10 joined
grep -q "^ZIB: Připojeno k hostiteli přímo v místní síti.$" "$WORK/joiner.log" ||
    fail "the joiner did not connect on the home network"
play_game
! grep -q "relaying" "$WORK/server.log" || fail "the server relayed the game"
log "passed"
