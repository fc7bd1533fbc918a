#!/usr/bin/env bash
# Online play between two real programs on two Xvfb screens, over loopback: the host's Enter
# starts the game on both, keys on both sides turn the snakes, the game ends the same on both and
# both replays verify and hold the same keys. Then a second game: the joiner's program is killed,
# the host's game ends within 6 s with the message, and the host's EXIT still writes ZIB.ini.
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

# Red starts at (100, 150) heading right into a wall at x 450 that spans the field; blue starts at
# (700, 500) heading right and wraps round before it meets the wall: red crashes first.
plain_picture e2epole.bmp '#303030'
plain_picture e2ezed.bmp '#20a020'
cat >"$GAME/baseq7/E2eZed.zq7" <<'LEVEL'
"e2epole.bmp",100,150,1,0
700,500,1,0
450,0,460,590,"e2ezed.bmp"
LEVEL
write_ini "87,38,83,40,68,39,65,37" "100,E2eZed.zq7,5,10,2"
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

(cd "$GAME" && XDG_DATA_HOME="$WORK/host-data" SDL_AUDIODRIVER=dummy \
    exec "$GAME/zib" --window --host "127.0.0.1:$PORT" >"$WORK/zib.log" 2>&1) &
ZIB_PID=$!
(cd "$JOIN_GAME" && DISPLAY=$JOIN_DISPLAY XDG_DATA_HOME="$WORK/join-data" SDL_AUDIODRIVER=dummy \
    exec "$JOIN_GAME/zib" --window --join "127.0.0.1:$PORT" >"$WORK/joiner.log" 2>&1) &
JOINER_PID=$!
wait_for "the host's window" 30 window_shown
joiner_shown() { on_joiner xdotool search --name '^ZIB$' >/dev/null 2>&1; }
wait_for "the joiner's window" 30 joiner_shown
for d in "$HOST_DISPLAY" "$JOIN_DISPLAY"; do
    DISPLAY=$d xdotool mousemove 10 590
    DISPLAY=$d xdotool windowfocus "$(DISPLAY=$d xdotool search --name '^ZIB$' | head -n1)" 2>/dev/null || true
done
wait_for "the menu" 30 menu_painted
remember_menu
sleep 2  # the handshake and the first round trips
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

host_file=$(find "$HOST_REPLAYS" -name '*.zibreplay.json')
join_file=$(find "$JOIN_REPLAYS" -name '*.zibreplay.json')
"$ZIBSIM" --verify "$host_file" "$join_file" >"$WORK/verify.log" 2>&1 || {
    cat "$WORK/verify.log" >&2
    fail "zibsim --verify refused an online replay"
}
python3 - "$host_file" "$join_file" <<'PY' || fail "the two replays differ"
import json, sys
a, b = (json.load(open(f)) for f in sys.argv[1:3])
assert a["events"] == b["events"], (a["events"], b["events"])
assert a["outcome"] == b["outcome"]
codes = [e.get("down") for e in a["events"]]
assert 38 in codes and 83 in codes, codes   # red's Up; the joiner's K as blue's S
PY
log "both replays verify and agree"

# ---- game 2: the joiner's program is killed; the host's game ends within 6 s, no win counted
wait_for "the host's menu" 15 menu_shown
key Return
sleep 1.5
kill -9 "$JOINER_PID"
wait "$JOINER_PID" 2>/dev/null || true
JOINER_PID=""
killed=$SECONDS
wait_for "the host's game to end" 10 host_replays_are 2
[ $((SECONDS - killed)) -le 7 ] || fail "the host's game went on for $((SECONDS - killed)) s"
grep -q "Spojení se soupeřem bylo přerušeno" "$WORK/zib.log" || fail "no message of the lost connection"
log "the host's game ended after the joiner was killed"

# The message closes with Enter; EXIT still writes ZIB.ini.
sleep 1
key Return
before=$(stat -c %Y "$GAME/ZIB.ini")
sleep 1.1
type_text exit
wait_exit
[ "$(stat -c %Y "$GAME/ZIB.ini")" -gt "$before" ] || fail "EXIT did not write ZIB.ini"
grep -q "E2eZed.zq7" "$GAME/ZIB.ini" || fail "ZIB.ini lost the host's level"
[ "$(cat "$JOIN_GAME/ZIB.ini")" = "$JOIN_INI" ] || fail "the joiner's ZIB.ini changed"
log "EXIT wrote ZIB.ini"
