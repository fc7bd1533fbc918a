#!/usr/bin/env bash
# Helpers of the internet tests: a home network behind a router that speaks NAT-PMP and UPnP-IGD,
# and an internet for the joiner, all in network namespaces the test makes and removes itself.
#
#   home      10.47.0.2/24, default route to the router: the host
#   router    10.47.0.1 inside, EXT.1 outside; masquerades with nftables (an inet table of its
#             own) and runs Debian's miniupnpd as the IGD
#   internet  EXT.2: the joiner
#
# EXT is 192.0.3 (miniupnpd maps nothing when its external address is private, shared or a
# documentation range), or 100.64.0 for a router behind a carrier's NAT. The namespaces have no
# link to the machine's own network and no route out of themselves: nothing sent in them leaves.
# Everything is removed on exit, also on failure. Without the rights to make namespaces, or without
# the tools, the test exits 77, which CTest reports as skipped, and says why.
# shellcheck disable=SC2034
set -euo pipefail

ZIB_BIN=${1:?usage: $0 path/to/zib}
ZIB_BIN=$(cd "$(dirname "$ZIB_BIN")" && pwd)/$(basename "$ZIB_BIN")
ZIB_BUILD=$(dirname "$ZIB_BIN")
ZIBSIM="$ZIB_BUILD/zibsim"
TEST_NAME=$(basename "$0" .sh)
WORK=$(mktemp -d /tmp/zib-internet.XXXXXX)
TAG=$$
NS_HOME="zib-home-$TAG"
NS_ROUTER="zib-router-$TAG"
NS_NET="zib-net-$TAG"
NS_HOME2="zib-home2-$TAG"
NS_ROUTER2="zib-router2-$TAG"
MADE_NS=()
PIDS=()
XVFB_PID=""
EXT=192.0.3
PORT=47777

log() { echo "[$TEST_NAME $(date +%T.%N | cut -c1-12)] $*"; }

skip() {
    echo "SKIPPED ($TEST_NAME): $*"
    exit 77
}

fail() {
    echo "FAIL ($TEST_NAME): $*" >&2
    local f
    for f in "$WORK"/*.log; do
        [ -f "$f" ] && { echo "--- $(basename "$f"):" >&2; tail -n 40 "$f" >&2; }
    done
    exit 1
}

cleanup() {
    local pid ns
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    for ns in "${MADE_NS[@]}"; do
        # Whatever still runs inside goes with its namespace.
        for pid in $(ip netns pids "$ns" 2>/dev/null); do kill -9 "$pid" 2>/dev/null || true; done
        ip netns del "$ns" 2>/dev/null || true
    done
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# wait_for WHAT SECONDS COMMAND...: polls every 50 ms.
wait_for() {
    local what=$1 limit=$2
    shift 2
    local end=$((SECONDS + limit))
    until "$@"; do
        [ $SECONDS -lt $end ] || fail "timed out after ${limit} s waiting for $what"
        sleep 0.05
    done
}

need_tools() {
    local tool
    for tool in ip nft Xvfb xdotool "$@"; do
        command -v "$tool" >/dev/null || skip "$tool is not installed"
    done
    [ -x /usr/sbin/miniupnpd ] || skip "miniupnpd is not installed"
    [ -x "$ZIBSIM" ] || fail "no zibsim beside zib ($ZIBSIM)"
}

in_home() { ip netns exec "$NS_HOME" "$@"; }
in_router() { ip netns exec "$NS_ROUTER" "$@"; }
in_net() { ip netns exec "$NS_NET" "$@"; }

# make_two_homes [NAT [NAT2]]: two homes, each behind a router of its own, on one internet (a bridge in
# the internet namespace, which holds EXT.2: the ZIB server):
#   home  10.47.0.2 -- router  10.47.0.1 / EXT.1 --+
#   home2 10.48.0.2 -- router2 10.48.0.1 / EXT.3 --+-- internet EXT.2
# Each router masquerades (NAT "keep": the source port is kept where it is free, one mapping for
# every destination; "random": a random port for each destination, a symmetric NAT) and, as home
# routers do, drops what arrives from outside for the router itself. NAT2, the second router's,
# is NAT unless given.
make_two_homes() {
    local nats=("${1:-keep}" "${2:-${1:-keep}}") ns
    for ns in "$NS_HOME" "$NS_ROUTER" "$NS_NET" "$NS_ROUTER2" "$NS_HOME2"; do
        if ! ip netns add "$ns" 2>"$WORK/netns.err"; then
            skip "network namespaces cannot be made here (needs CAP_NET_ADMIN): $(cat "$WORK/netns.err")"
        fi
        MADE_NS+=("$ns")
        ip -n "$ns" link set lo up
    done
    ip -n "$NS_NET" link add br0 type bridge
    ip -n "$NS_NET" addr add "$EXT.2/24" dev br0
    ip -n "$NS_NET" link set br0 up
    local n router home inside ext flags
    for n in 1 2; do
        if [ $n = 1 ]; then
            router=$NS_ROUTER home=$NS_HOME inside=10.47.0 ext=$EXT.1
        else
            router=$NS_ROUTER2 home=$NS_HOME2 inside=10.48.0 ext=$EXT.3
        fi
        ip -n "$router" link add r-in type veth peer name h0 netns "$home"
        ip -n "$router" link add r-ext type veth peer name "i$n" netns "$NS_NET"
        ip -n "$router" addr add "$inside.1/24" dev r-in
        ip -n "$router" addr add "$ext/24" dev r-ext
        ip -n "$home" addr add "$inside.2/24" dev h0
        ip -n "$NS_NET" link set "i$n" master br0
        ip -n "$router" link set r-in up
        ip -n "$router" link set r-ext up
        ip -n "$home" link set h0 up
        ip -n "$NS_NET" link set "i$n" up
        ip -n "$home" route add default via "$inside.1"
        ip netns exec "$router" sysctl -qw net.ipv4.ip_forward=1
        flags=""
        [ "${nats[$((n - 1))]}" = random ] && flags="random"
        ip netns exec "$router" nft -f - <<NFT
table inet zibnat {
    chain input { type filter hook input priority 0; policy accept; iifname "r-ext" ct state new drop; }
    chain forward { type filter hook forward priority 0; policy accept; }
    chain postrouting { type nat hook postrouting priority 100; policy accept; oifname "r-ext" masquerade $flags; }
}
NFT
    done
}

# start_server [OPTIONS...]: zib-server on the internet side (EXT.2), its log in server.log (a
# second server after the first one's end appends to it). Sets SERVER_PID.
start_server() {
    local server="$ZIB_BUILD/zib-server"
    [ -x "$server" ] || fail "no zib-server beside zib ($server)"
    touch "$WORK/server.log"
    ip netns exec "$NS_NET" "$server" --bind "$EXT.2" "$@" >>"$WORK/server.log" 2>&1 &
    SERVER_PID=$!
    PIDS+=("$SERVER_PID")
    wait_for "the ZIB server" 10 grep -q "naslouchá" "$WORK/server.log"
}

# host_with_code NAT [NAT2] [SERVER_OPTIONS...]: two homes behind their routers, the ZIB server
# on the internet, and a host in the first home that registered with it; sets CODE to its invite
# code.
host_with_code() {
    need_tools convert
    make_two_homes "$1" "$2"
    shift 2
    start_server "$@"
    start_xvfb
    start_host --no-port-mapping --server "$EXT.2"
    wait_for "the host's invite code" 10 has_invite_code
    CODE=$(invite_code)
}

# The host's invite code, once it printed one.
invite_code() { sed -n 's/^ZIB: .*Kód pozvánky: \([A-Z0-9]\{6\}\) .*/\1/p' "$WORK/host.log" | tail -n1; }
has_invite_code() { [ -n "$(invite_code)" ]; }

# make_networks [EXT]: the three namespaces, wired and addressed, the router masquerading.
make_networks() {
    EXT=${1:-192.0.3}
    local ns
    for ns in "$NS_HOME" "$NS_ROUTER" "$NS_NET"; do
        if ! ip netns add "$ns" 2>"$WORK/netns.err"; then
            skip "network namespaces cannot be made here (needs CAP_NET_ADMIN): $(cat "$WORK/netns.err")"
        fi
        MADE_NS+=("$ns")
        ip -n "$ns" link set lo up
    done
    ip -n "$NS_ROUTER" link add r-in type veth peer name h0 netns "$NS_HOME"
    ip -n "$NS_ROUTER" link add r-ext type veth peer name i0 netns "$NS_NET"
    ip -n "$NS_ROUTER" addr add 10.47.0.1/24 dev r-in
    ip -n "$NS_ROUTER" addr add "$EXT.1/24" dev r-ext
    ip -n "$NS_HOME" addr add 10.47.0.2/24 dev h0
    ip -n "$NS_NET" addr add "$EXT.2/24" dev i0
    ip -n "$NS_ROUTER" link set r-in up
    ip -n "$NS_ROUTER" link set r-ext up
    ip -n "$NS_HOME" link set h0 up
    ip -n "$NS_NET" link set i0 up
    ip -n "$NS_HOME" route add default via 10.47.0.1
    in_router sysctl -qw net.ipv4.ip_forward=1
    # Debian's nft_init.sh cannot run (a helper script is missing): the table is made here.
    in_router nft -f - <<NFT
table inet zibnat {
    chain forward { type filter hook forward priority 0; policy accept; }
    chain prerouting { type nat hook prerouting priority -100; policy accept; }
    chain postrouting { type nat hook postrouting priority 100; policy accept; oifname "r-ext" masquerade; }
}
NFT
}

# start_router [natpmp=yes|no] [secure=yes|no]: miniupnpd on the router, UPnP on, NAT-PMP as
# asked; out of secure mode a client may map ports for other addresses too.
start_router() {
    local natpmp=${1:-yes} secure=${2:-yes}
    cat >"$WORK/miniupnpd.conf" <<CONF
ext_ifname=r-ext
listening_ip=r-in
port=0
enable_upnp=yes
enable_natpmp=$natpmp
secure_mode=$secure
system_uptime=yes
notify_interval=60
clean_ruleset_interval=600
uuid=3e4c1f2a-47a7-4b1e-9a55-$(printf '%012d' "$TAG")
upnp_table_name=zibnat
upnp_nat_table_name=zibnat
upnp_forward_chain=forward
upnp_nat_chain=prerouting
upnp_nat_postrouting_chain=postrouting
allow 1024-65535 10.47.0.0/24 1024-65535
deny 0-65535 0.0.0.0/0 0-65535
CONF
    in_router /usr/sbin/miniupnpd -d -f "$WORK/miniupnpd.conf" -P "$WORK/miniupnpd.pid" \
        >"$WORK/miniupnpd.log" 2>&1 &
    PIDS+=($!)
    wait_for "miniupnpd" 10 grep -q "HTTP listening on port" "$WORK/miniupnpd.log"
}

# The router's rules hold a mapping of the UDP port.
# The listing is read whole, and read again when nft fails (it may while miniupnpd changes rules).
mapped() {
    local rules="" _
    for _ in 1 2 3; do
        rules=$(in_router nft list table inet zibnat 2>>"$WORK/nft.err") && break
        sleep 0.05
    done
    grep -q "dport $1 dnat" <<<"$rules"
}
not_mapped() { ! mapped "$1"; }

start_xvfb() {
    local fifo="$WORK/display" n=""
    Xvfb -displayfd 9 -screen 0 800x600x24 -nolisten tcp -noreset 9>"$fifo" >"$WORK/xvfb.out" 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 1 200); do
        n=$(tr -dc '0-9' <"$fifo" 2>/dev/null || true)
        [ -n "$n" ] && break
        sleep 0.05
    done
    [ -n "$n" ] || fail "Xvfb did not start"
    export DISPLAY=":$n"
}

# A copy of the game with a level whose games end by themselves (red runs into a wall in about
# 3.5 s), in folder $1.
make_game() {
    local dir=$1
    mkdir -p "$dir"
    cp "$ZIB_BIN" "$dir/zib"
    cp -r "$ZIB_BUILD/baseq7" "$dir/baseq7"
    rm -f "$dir/baseq7/.stamp"
    convert -size 50x50 xc:'#303030' -type TrueColor "BMP3:$dir/baseq7/e2epole.bmp"
    convert -size 50x50 xc:'#20a020' -type TrueColor "BMP3:$dir/baseq7/e2ezed.bmp"
    cat >"$dir/baseq7/E2eZed.zq7" <<'LEVEL'
"e2epole.bmp",100,150,1,0
700,500,1,0
450,0,460,590,"e2ezed.bmp"
LEVEL
    printf '%s\r\n%s\r\n' "87,38,83,40,68,39,65,37" "100,E2eZed.zq7,5,10,2" >"$dir/ZIB.ini"
}

# start_host [OPTIONS...]: zib --host PORT in the home namespace, on the Xvfb screen; its output
# in host.log. Sets HOST_PID and HOST_STARTED (in ms).
start_host() {
    make_game "$WORK/host"
    HOST_STARTED=$(date +%s%3N)
    (cd "$WORK/host" && XDG_DATA_HOME="$WORK/host-data" XDG_CONFIG_HOME="$WORK/host-config" \
        SDL_AUDIODRIVER=dummy exec ip netns exec "$NS_HOME" "$WORK/host/zib" --window \
        --host "$PORT" "$@" >"$WORK/host.log" 2>&1) &
    HOST_PID=$!
    PIDS+=("$HOST_PID")
}

# The host printed its address line (a line of its own on standard output).
address_line() { grep -E "^ZIB: (Soupeř se připojí|Router)" "$WORK/host.log" | head -n1; }
has_address_line() { [ -n "$(address_line)" ]; }
# Milliseconds from the host's start to its address line.
address_line_ms() {
    wait_for "the host's address line" 10 has_address_line
    echo $(($(date +%s%3N) - HOST_STARTED))
}

# start_joiner NS ADDRESS: a joiner without a screen in namespace NS; output in joiner.log.
start_joiner() { start_joiner_with "$1" --join "$2:$PORT"; }

# start_joiner_with NS OPTIONS...: the same with the options given.
start_joiner_with() {
    local ns=$1
    shift
    make_game "$WORK/joiner"
    JOINER_STARTED=$(date +%s%3N)
    (cd "$WORK/joiner" && XDG_DATA_HOME="$WORK/joiner-data" XDG_CONFIG_HOME="$WORK/joiner-config" \
        SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=offscreen exec ip netns exec "$ns" \
        "$WORK/joiner/zib" --window "$@" >"$WORK/joiner.log" 2>&1) &
    JOINER_PID=$!
    PIDS+=("$JOINER_PID")
}

replays_in() { find "$1" -name '*.zibreplay.json' 2>/dev/null | wc -l; }
host_replay_written() { [ "$(replays_in "$WORK/host-data")" -ge 1 ]; }
joiner_replay_written() { [ "$(replays_in "$WORK/joiner-data")" -ge 1 ]; }
window_shown() { xdotool search --name '^ZIB$' >/dev/null 2>&1; }

# play_game: the host's Enter starts a game on both (only once the joiner is connected and the
# first round trips are measured); it ends by itself; both replays must verify.
play_game() {
    wait_for "the host's window" 20 window_shown
    xdotool mousemove 10 590
    xdotool windowfocus "$(xdotool search --name '^ZIB$' | head -n1)" 2>/dev/null || true
    # The handshake and the first round trips, then the host's Enter starts the game.
    sleep 3
    xdotool key Return
    wait_for "the host's replay" 20 host_replay_written
    wait_for "the joiner's replay" 10 joiner_replay_written
    local files
    mapfile -t files < <(find "$WORK/host-data" "$WORK/joiner-data" -name '*.zibreplay.json')
    "$ZIBSIM" --verify "${files[@]}" >"$WORK/verify.log" 2>&1 || fail "the replays do not verify"
    log "a game played across the router; both replays verify"
}

# stop_host SIGNAL: ends the host with the signal and waits for it (at most 10 s).
stop_host() {
    kill -s "$1" "$HOST_PID" 2>/dev/null || true
    local end=$((SECONDS + 10))
    while kill -0 "$HOST_PID" 2>/dev/null; do
        [ $SECONDS -lt $end ] || fail "the host did not end after SIG$1"
        sleep 0.05
    done
}
