#!/usr/bin/env bash
# The host in a home network asks miniupnpd for its port (NAT-PMP answers first), prints the
# router's external address, and a joiner on the internet side plays a game with it through the
# mapped port; both replays verify. The host's EXIT deletes the mapping.
. "$(dirname "$0")/lib.sh"
need_tools convert
make_networks
start_router yes
start_xvfb
start_host
ms=$(address_line_ms)
line=$(address_line)
log "address line after $ms ms: $line"
[ "$line" = "ZIB: Soupeř se připojí: zib --join $EXT.1:$PORT (v místní síti: zib --join 10.47.0.2:$PORT)" ] ||
    fail "unexpected address line: $line"
wait_for "the router's mapping of port $PORT" 3 mapped "$PORT"
grep -q "NAT-PMP" "$WORK/miniupnpd.log" || fail "the mapping did not come through NAT-PMP"
start_joiner "$NS_NET" "$EXT.1"
play_game
sleep 3  # the pause after the game, back in the menu
xdotool type --delay 80 exit
wait_for "the host's EXIT" 10 bash -c "! kill -0 $HOST_PID 2>/dev/null"
wait_for "the mapping to go" 5 not_mapped "$PORT"
log "passed"
