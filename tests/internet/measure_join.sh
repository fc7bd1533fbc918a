#!/usr/bin/env bash
# The time from zib --join CODE to a joiner connected to the host (its line "Připojeno k
# hostiteli …"), for the speed report (bench/run), in the namespaces of the internet tests:
# measure_join.sh ZIB keep|random. keep: both routers keep source ports and the two punch through
# them; random: the joiner's router is a symmetric NAT and the server relays. Prints
# "join direct_ms N" or "join relayed_ms N" and the line. Exits 77 where namespaces cannot be made.
. "$(dirname "$0")/lib.sh" "$1"
nat=${2:?usage: $0 ZIB keep|random}
host_with_code keep "$nat" --log-level info
start_joiner_with "$NS_HOME2" --join "$CODE" --server "$EXT.2"
joined() { grep -q "^ZIB: Připojeno k hostiteli" "$WORK/joiner.log"; }
wait_for "the joiner's connection" 15 joined
ms=$(($(date +%s%3N) - JOINER_STARTED))
kind=direct
[ "$nat" = random ] && kind=relayed
echo "join ${kind}_ms $ms $(grep '^ZIB: Připojeno' "$WORK/joiner.log")"
