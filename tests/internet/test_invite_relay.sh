#!/usr/bin/env bash
# The joiner's router is a symmetric NAT (a random source port for every destination), so the
# address the server saw is not the one the host's packets would have to reach: no direct path
# answers, and after 3 s the ZIB server relays the game. A game is played through it and both
# replays verify.
. "$(dirname "$0")/lib.sh"
host_with_code keep random --log-level debug
code=$CODE
start_joiner_with "$NS_HOME2" --join "$code" --server "$EXT.2"
wait_for "the pairing" 10 grep -q "pairing $code" "$WORK/server.log"
wait_for "the relay" 10 grep -q "relaying: host $EXT.1:" "$WORK/server.log"
log "$(grep "relaying" "$WORK/server.log") after $(($(date +%s%3N) - JOINER_STARTED)) ms"
# The handshake and the first round trips go through the server too.
sleep 2
play_game
log "passed"
