#!/usr/bin/env bash
# The router's own external address is in the carriers' shared range 100.64/10: the host warns
# that the internet cannot reach it and says what helps.
. "$(dirname "$0")/lib.sh"
need_tools convert
make_networks 100.64.0
start_router yes
start_xvfb
start_host
ms=$(address_line_ms)
line=$(address_line)
log "address line after $ms ms: $line"
case "$line" in
"ZIB: Router nemá veřejnou adresu"*"za dalším překladem adres"*"pozvánka přes server ZIB."*) ;;
*) fail "no warning of another NAT: $line" ;;
esac
log "passed"
