#!/usr/bin/env bash
# UPnP alone, with the router's external port already forwarded elsewhere (error 718): the host
# asks once more for another external port and gives that one out.
. "$(dirname "$0")/lib.sh"
need_tools convert upnpc
make_networks
start_router no no
in_home upnpc -e other -a 10.47.0.9 40000 "$PORT" UDP >"$WORK/upnpc.log" 2>&1 ||
    fail "upnpc could not map the port first"
start_xvfb
start_host
line=$(address_line_ms >/dev/null; address_line)
log "$line"
external=$(sed -n "s/^ZIB: Soupeř se připojí: zib --join $EXT\.1:\([0-9]*\) .*/\1/p" <<<"$line")
[ -n "$external" ] && [ "$external" != "$PORT" ] || fail "no other external port: $line"
wait_for "the router's mapping of port $external" 3 mapped "$external"
stop_host TERM
wait_for "the mapping to go" 5 not_mapped "$external"
mapped "$PORT" || fail "the other mapping of port $PORT went too"
log "passed"
