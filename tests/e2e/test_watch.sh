#!/usr/bin/env bash
# A spectator beside an online game: three real programs on three Xvfb screens over loopback, a
# host, a joiner and a spectator started with --watch. The host's Enter starts the game on all
# three; both players turn, the spectator's own keys (arrows, Enter, Esc is kept for leaving)
# change nothing, and red crashes into the wall. The joiner's Enter starts the level again, and
# the spectator watches that game too. All six replays verify, and the spectator's hold the
# players' keys and outcome. Last, the spectator's EXIT ends it while the players stay connected.
# shellcheck disable=SC2046,SC2086,SC2119
. "$(dirname "$0")/lib.sh"

ZIBSIM="$ZIB_BUILD/zibsim"
[ -x "$ZIBSIM" ] || fail "no zibsim beside zib ($ZIBSIM)"
PORT=$((20000 + ($$ + 7919) % 20000))

start_xvfb
HOST_DISPLAY=$DISPLAY
HOST_XVFB=$XVFB_PID
start_xvfb
JOIN_DISPLAY=$DISPLAY
JOIN_XVFB=$XVFB_PID
start_xvfb
WATCH_DISPLAY=$DISPLAY
JOINER_PID=""
WATCHER_PID=""
trap 'kill $HOST_XVFB $JOIN_XVFB 2>/dev/null || true; for p in $JOINER_PID $WATCHER_PID; do kill $p 2>/dev/null || true; done; cleanup' EXIT
export DISPLAY=$HOST_DISPLAY
make_install
wall_level

HOST_REPLAYS="$WORK/host-data/zib/replays"
JOIN_REPLAYS="$WORK/join-data/zib/replays"
WATCH_REPLAYS="$WORK/watch-data/zib/replays"
count_in() { find "$1" -name '*.zibreplay.json' 2>/dev/null | wc -l; }
replays_are() { [ "$(count_in "$1")" -eq "$2" ]; }
shown_on() { DISPLAY=$1 xdotool search --name '^ZIB$' >/dev/null 2>&1; }
on() {
    local d=$1
    shift
    DISPLAY=$d "$@"
}
watcher_running() { [ -n "$WATCHER_PID" ] && kill -0 "$WATCHER_PID" 2>/dev/null; }
watcher_ended() { ! watcher_running; }

(cd "$GAME" && XDG_DATA_HOME="$WORK/host-data" SDL_AUDIODRIVER=dummy \
    exec "$GAME/zib" --window --host "127.0.0.1:$PORT" >"$WORK/host.log" 2>&1) &
ZIB_PID=$!
(cd "$GAME" && DISPLAY=$JOIN_DISPLAY XDG_DATA_HOME="$WORK/join-data" SDL_AUDIODRIVER=dummy \
    exec "$GAME/zib" --window --join "127.0.0.1:$PORT" >"$WORK/joiner.log" 2>&1) &
JOINER_PID=$!
(cd "$GAME" && DISPLAY=$WATCH_DISPLAY XDG_DATA_HOME="$WORK/watch-data" SDL_AUDIODRIVER=dummy \
    exec "$GAME/zib" --window --watch "127.0.0.1:$PORT" >"$WORK/watcher.log" 2>&1) &
WATCHER_PID=$!
wait_for "the host's window" 30 shown_on "$HOST_DISPLAY"
wait_for "the joiner's window" 30 shown_on "$JOIN_DISPLAY"
wait_for "the spectator's window" 30 shown_on "$WATCH_DISPLAY"
for d in "$HOST_DISPLAY" "$JOIN_DISPLAY" "$WATCH_DISPLAY"; do
    on "$d" xdotool mousemove 10 590
    on "$d" xdotool windowfocus "$(on "$d" xdotool search --name '^ZIB$' | head -n1)" 2>/dev/null || true
done
wait_for "the menu" 30 menu_painted
sleep 2
log "three menus shown"

# ---- game 1: the host's Enter; both players turn, the spectator presses keys of its own
key Return
sleep 1
key Up
on "$JOIN_DISPLAY" xdotool key --delay 40 Down
on "$WATCH_DISPLAY" xdotool key --delay 40 Down Left Return w
sleep 0.4
key Right
on "$WATCH_DISPLAY" xdotool key --delay 40 Up Return
wait_for "the host's replay of game 1" 30 replays_are "$HOST_REPLAYS" 1
wait_for "the joiner's replay of game 1" 10 replays_are "$JOIN_REPLAYS" 1
wait_for "the spectator's replay of game 1" 10 replays_are "$WATCH_REPLAYS" 1
log "game 1 over on all three"

# ---- game 2: the joiner's Enter in the pause; nobody steers
on "$JOIN_DISPLAY" xdotool key --delay 40 Return
wait_for "the host's replay of game 2" 20 replays_are "$HOST_REPLAYS" 2
wait_for "the spectator's replay of game 2" 10 replays_are "$WATCH_REPLAYS" 2
wait_for "the joiner's replay of game 2" 10 replays_are "$JOIN_REPLAYS" 2
log "game 2 over on all three"

mapfile -t files < <(for d in "$HOST_REPLAYS" "$JOIN_REPLAYS" "$WATCH_REPLAYS"; do
    find "$d" -name '*.zibreplay.json' | sort
done)
"$ZIBSIM" --verify "${files[@]}" >"$WORK/verify.log" 2>&1 || {
    cat "$WORK/verify.log" >&2
    fail "zibsim --verify refused a replay"
}
python3 - "${files[@]}" <<'PY' || fail "the spectator's replays differ from the players'"
import json, sys
host, join, watch = ([json.load(open(f)) for f in sys.argv[i:i + 2]] for i in (1, 3, 5))
for a, b, c in zip(host, join, watch):
    assert a["events"] == b["events"] == c["events"], (a["events"], c["events"])
    assert a["outcome"] == b["outcome"] == c["outcome"], (a["outcome"], c["outcome"])
codes = [e.get("down") for e in watch[0]["events"]]
assert 38 in codes and 83 in codes, codes   # red's Up; the joiner's Down as blue's S
PY
log "all six replays verify, and the spectator's hold the players' keys and outcome"

# ---- the spectator leaves with EXIT; the players stay connected
sleep 2.5
on "$WATCH_DISPLAY" xdotool type --delay 80 exit
wait_for "the spectator's end" 15 watcher_ended
rc=0
wait "$WATCHER_PID" || rc=$?
WATCHER_PID=""
[ "$rc" -eq 0 ] || fail "the spectator ended with status $rc"
zib_running || fail "the host ended with the spectator"
kill -0 "$JOINER_PID" 2>/dev/null || fail "the joiner ended with the spectator"
log "passed"
