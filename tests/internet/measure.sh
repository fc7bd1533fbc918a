#!/usr/bin/env bash
# The port mapping figures of the speed report (bench/run), behind miniupnpd in the namespaces of
# the internet tests: measure.sh ZIB ZIB_BENCH natpmp|upnp. Prints "mapping address_ms N" (from
# zib --host to its address line) and the PortMappingFrames benchmark's line (the longest gap
# between two frames of a host session while it maps). Exits 77 where namespaces cannot be made.
. "$(dirname "$0")/lib.sh" "$1"
BENCH=${2:?usage: $0 ZIB ZIB_BENCH natpmp|upnp}
natpmp=yes
[ "${3:-natpmp}" = upnp ] && natpmp=no
need_tools convert
make_networks
start_router "$natpmp"
start_xvfb
start_host
echo "mapping address_ms $(address_line_ms)"
stop_host TERM
in_home "$BENCH" --benchmark_filter='^PortMappingFrames' | grep '^port mapping:'
