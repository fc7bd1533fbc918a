#!/usr/bin/env bash
# A router with NAT-PMP off: UPnP-IGD alone maps the host's port, the address line names the
# router's external address, and SIGINT deletes the mapping.
. "$(dirname "$0")/lib.sh"
need_tools convert
make_networks
start_router no
start_xvfb
start_host
ms=$(address_line_ms)
line=$(address_line)
log "address line after $ms ms (UPnP alone): $line"
[ "$line" = "ZIB: Soupeř se připojí: zib --join $EXT.1:$PORT (v místní síti: zib --join 10.47.0.2:$PORT)" ] ||
    fail "unexpected address line: $line"
wait_for "the router's mapping of port $PORT" 3 mapped "$PORT"
grep -q "AddPortMapping" "$WORK/miniupnpd.log" || fail "the mapping did not come through UPnP"
stop_host INT
wait_for "the mapping to go" 5 not_mapped "$PORT"
log "passed"
