#!/usr/bin/env bash
# Online play between two real programs on two Xvfb screens, over loopback: the host's Enter
# starts the game on both, keys on both sides turn the snakes, the game ends the same on both, and
# the joiner's Enter in the pause after it starts the level again on both; all four replays verify
# and each pair holds the same keys. Then a third game: the joiner's program is killed, the host's
# game ends within 6 s with the message, and the host's EXIT still writes ZIB.ini. Last, a new pair
# whose host is killed: the joiner's game ends the same way and its EXIT writes its own ZIB.ini.
# shellcheck disable=SC2046,SC2086,SC2119
. "$(dirname "$0")/lib.sh"

ZIBSIM="$ZIB_BUILD/zibsim"
[ -x "$ZIBSIM" ] || fail "no zibsim beside zib ($ZIBSIM)"
PORT=$((20000 + $$ % 20000))

start_xvfb
HOST_DISPLAY=$DISPLAY
HOST_XVFB=$XVFB_PID
start_xvfb
JOIN_DISPLAY=$DISPLAY
JOINER_PID=""
trap 'kill $HOST_XVFB 2>/dev/null || true; [ -n "$JOINER_PID" ] && kill $JOINER_PID 2>/dev/null; cleanup' EXIT
export DISPLAY=$HOST_DISPLAY
make_install

wall_level
# The joiner's own folder has no such level, and its own keys are I, K, L, J for blue.
JOIN_GAME="$WORK/joiner"
mkdir -p "$JOIN_GAME"
cp "$GAME/zib" "$JOIN_GAME/zib"
cp -r "$GAME/baseq7" "$JOIN_GAME/baseq7"
rm "$JOIN_GAME/baseq7/E2eZed.zq7"
printf '%s\r\n%s\r\n' "73,38,75,40,76,39,74,37" "40,Barvy.zq7,5,10,3" >"$JOIN_GAME/ZIB.ini"
JOIN_INI=$(cat "$JOIN_GAME/ZIB.ini")

HOST_REPLAYS="$WORK/host-data/zib/replays"
JOIN_REPLAYS="$WORK/join-data/zib/replays"
count_in() { find "$1" -name '*.zibreplay.json' 2>/dev/null | wc -l; }
host_replays_are() { [ "$(count_in "$HOST_REPLAYS")" -eq "$1" ]; }
join_replays_are() { [ "$(count_in "$JOIN_REPLAYS")" -eq "$1" ]; }
on_joiner() { DISPLAY=$JOIN_DISPLAY "$@"; }

joiner_shown() { on_joiner xdotool search --name '^ZIB$' >/dev/null 2>&1; }
# start_pair N: a host and a joiner, their output in host-N.log and joiner-N.log; returns when both
# menus show and the handshake had time for its first round trips.
start_pair() {
    HOST_LOG="$WORK/host-$1.log"
    JOIN_LOG="$WORK/joiner-$1.log"
    (cd "$GAME" && XDG_DATA_HOME="$WORK/host-data" SDL_AUDIODRIVER=dummy \
        exec "$GAME/zib" --window --host "127.0.0.1:$PORT" >"$HOST_LOG" 2>&1) &
    ZIB_PID=$!
    (cd "$JOIN_GAME" && DISPLAY=$JOIN_DISPLAY XDG_DATA_HOME="$WORK/join-data" SDL_AUDIODRIVER=dummy \
        exec "$JOIN_GAME/zib" --window --join "127.0.0.1:$PORT" >"$JOIN_LOG" 2>&1) &
    JOINER_PID=$!
    wait_for "the host's window" 30 window_shown
    wait_for "the joiner's window" 30 joiner_shown
    local d
    for d in "$HOST_DISPLAY" "$JOIN_DISPLAY"; do
        DISPLAY=$d xdotool mousemove 10 590
        DISPLAY=$d xdotool windowfocus "$(DISPLAY=$d xdotool search --name '^ZIB$' | head -n1)" 2>/dev/null || true
    done
    wait_for "the menu" 30 menu_painted
    remember_menu
    sleep 2
}
start_pair 1
log "both menus shown"

# ---- game 1: started by the host's Enter; both sides turn; red crashes into the wall
key Return
sleep 1
key Up
on_joiner xdotool key --delay 40 k
sleep 0.4
key Right
on_joiner xdotool key --delay 40 l
wait_for "the host's replay of game 1" 30 host_replays_are 1
wait_for "the joiner's replay of game 1" 10 join_replays_are 1
log "game 1 over on both"

# ---- game 2: the joiner's Enter within the 2 s pause after the game restarts the level on both;
# nobody steers, so red runs into the wall again.
on_joiner xdotool key --delay 40 Return
wait_for "the host's replay of game 2" 20 host_replays_are 2
wait_for "the joiner's replay of game 2" 10 join_replays_are 2
log "game 2, restarted by the joiner, over on both"

mapfile -t host_files < <(find "$HOST_REPLAYS" -name '*.zibreplay.json' | sort)
mapfile -t join_files < <(find "$JOIN_REPLAYS" -name '*.zibreplay.json' | sort)
"$ZIBSIM" --verify "${host_files[@]}" "${join_files[@]}" >"$WORK/verify.log" 2>&1 || {
    cat "$WORK/verify.log" >&2
    fail "zibsim --verify refused an online replay"
}
python3 - "${host_files[@]}" "${join_files[@]}" <<'PY' || fail "the replays of the two sides differ"
import json, sys
host, join = ([json.load(open(f)) for f in sys.argv[i:i + 2]] for i in (1, 3))
for a, b in zip(host, join):
    assert a["events"] == b["events"], (a["events"], b["events"])
    assert a["outcome"] == b["outcome"], (a["outcome"], b["outcome"])
codes = [e.get("down") for e in host[0]["events"]]
assert 38 in codes and 83 in codes, codes   # red's Up; the joiner's K as blue's S
assert host[1]["outcome"]["ticks"] > 0
PY
log "all four replays verify, and each game's two agree"

# kill_side PID WHO COUNT_IS N LOG: the host's Enter starts a game, PID is killed 1.5 s later, and
# the game of the side left ends within 6 s (its replay N written; a second's margin for the
# polling) with the message of the lost connection in LOG.
# exit_writes DIR: the side left closes the message with Enter and types EXIT, which must write
# DIR/ZIB.ini anew and end the program.
kill_side() {
    local pid=$1 who=$2 count=$3 n=$4 survivor_log=$5
    key Return
    sleep 1.5
    kill -9 "$pid"
    wait "$pid" 2>/dev/null || true
    local killed=$SECONDS
    wait_for "the game of the side left ($who killed)" 10 "$count" "$n"
    [ $((SECONDS - killed)) -le 7 ] || fail "the game went on for $((SECONDS - killed)) s after the $who was killed"
    grep -q "Spojení se soupeřem bylo přerušeno" "$survivor_log" || fail "no message of the lost connection"
    log "the other side's game ended after the $who was killed"
}
exit_writes() {
    local before
    sleep 1
    key Return
    before=$(stat -c %Y "$1/ZIB.ini")
    sleep 1.1
    type_text exit
    wait_exit
    [ "$(stat -c %Y "$1/ZIB.ini")" -gt "$before" ] || fail "EXIT did not write $1/ZIB.ini"
}

# ---- game 3: the joiner's program is killed; the host's game ends, no win counted, and the host's
# EXIT still writes ZIB.ini
wait_for "the host's menu" 15 menu_shown
kill_side "$JOINER_PID" joiner host_replays_are 3 "$HOST_LOG"
JOINER_PID=""
exit_writes "$GAME"
grep -q "E2eZed.zq7" "$GAME/ZIB.ini" || fail "ZIB.ini lost the host's level"
[ "$(cat "$JOIN_GAME/ZIB.ini")" = "$JOIN_INI" ] || fail "the joiner's ZIB.ini changed"
log "EXIT wrote ZIB.ini"

# ---- game 4: a new pair whose host is killed; the joiner's game ends the same way, and its EXIT
# writes the joiner's own settings, not the host's. (The joiner killed in game 3 wrote no replay.)
start_pair 2
log "a new pair connected"
host_pid=$ZIB_PID
ZIB_PID=$JOINER_PID
JOINER_PID=""
kill_side "$host_pid" host join_replays_are 3 "$JOIN_LOG"
export DISPLAY=$JOIN_DISPLAY
exit_writes "$JOIN_GAME"
[ "$(cat "$JOIN_GAME/ZIB.ini")" = "$JOIN_INI" ] || fail "the joiner's ZIB.ini holds other settings"
log "the joiner's EXIT wrote its own settings"
log "passed"
