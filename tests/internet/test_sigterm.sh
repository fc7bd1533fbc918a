#!/usr/bin/env bash
# SIGTERM ends the host cleanly, and the router's mapping goes with it.
. "$(dirname "$0")/lib.sh"
need_tools convert
make_networks
start_router yes
start_xvfb
start_host
address_line_ms >/dev/null
wait_for "the mapping" 5 mapped "$PORT"
stop_host TERM
wait_for "the mapping to go" 5 not_mapped "$PORT"
log "passed"
