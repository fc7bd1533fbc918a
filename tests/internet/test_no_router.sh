#!/usr/bin/env bash
# No IGD on the router: the host says so within 6 s, with what the player can do, and still plays
# with a joiner of its own network.
. "$(dirname "$0")/lib.sh"
need_tools convert
make_networks
start_xvfb
start_host
ms=$(address_line_ms)
line=$(address_line)
log "address line after $ms ms: $line"
[ "$ms" -le 6000 ] || fail "the host took $ms ms to report that no router answered"
case "$line" in
"ZIB: Router neodpověděl (NAT-PMP ani UPnP): přesměrujte UDP port $PORT"*"V místní síti: zib --join 10.47.0.2:$PORT.") ;;
*) fail "unexpected address line: $line" ;;
esac
start_joiner "$NS_HOME" 10.47.0.2
play_game
log "passed"
