#!/usr/bin/env bash
# Replays of real games in the window: a game where both snakes turn and red crashes, a game
# restarted with Enter, the restarted game left with Esc, a DEMO and a game after it each leave
# one replay file in $XDG_DATA_HOME/zib/replays; every file passes zibsim --verify. zib --replay
# plays one back to its end (exit 0) and records nothing; Esc ends a playback early; a broken file
# gives exit 2.
# Regions and colours are words passed unquoted (see lib.sh).
# shellcheck disable=SC2046,SC2086,SC2119
. "$(dirname "$0")/lib.sh"

ZIBSIM="$ZIB_BUILD/zibsim"
[ -x "$ZIBSIM" ] || fail "no zibsim beside zib ($ZIBSIM)"
start_session
export HOME="$WORK/home" XDG_DATA_HOME="$WORK/data"
mkdir -p "$HOME"
REPLAYS="$XDG_DATA_HOME/zib/replays"

wall_level

replays() { find "$REPLAYS" -name '*.zibreplay.json' 2>/dev/null | wc -l; }
replays_are() { [ "$(replays)" -eq "$1" ]; }

start_zib
log "menu shown"

# ---- game 1: blue turns down and back right, red up and back right into the wall; red crashes
# Keys sent after Enter reach the game window whenever it comes up; screenshots are too slow on a
# busy machine to wait for it, so the waits count replay files instead.
key Return
sleep 0.5
key s
key Up
sleep 0.3
key d
key Right
wait_for "the replay of game 1" 20 replays_are 1
wait_for "the menu after the pause" 10 menu_shown
log "game 1 recorded"

# ---- game 2 restarted with Enter during play; game 3, the restarted one, left with Esc
key Return
sleep 0.5
key Return
wait_for "the replay of game 2" 15 replays_are 2
sleep 0.5
key Escape
wait_for "the menu after Esc" 10 menu_shown
wait_for "the replay of game 3" 5 replays_are 3
log "games 2 and 3 recorded"

# ---- a DEMO ended by a key
type_text demo
sleep 1.5
key x
wait_for "the menu after the demo" 8 menu_shown
wait_for "the replay of the demo" 5 replays_are 4

# ---- the game after the demo, with red steered by keys: the demo's route for red is no part of
# it, so its replay verifies like the others
key Return
sleep 0.5
key Down
sleep 1
key Escape
wait_for "the menu after the game after the demo" 10 menu_shown
wait_for "the replay of the game after the demo" 5 replays_are 5
type_text exit
wait_exit
log "five games, five replays"

mapfile -t files < <(find "$REPLAYS" -name '*.zibreplay.json' | sort)
[ "${#files[@]}" -eq 5 ] || fail "expected 5 replay files, found ${#files[@]}"
for f in "${files[@]}"; do
    case "$(basename "$f")" in
        [0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]_[0-9][0-9]-[0-9][0-9]-[0-9][0-9]_?*.zibreplay.json) ;;
        *) fail "unexpected replay name: $f" ;;
    esac
done
"$ZIBSIM" --verify "${files[@]}" >"$WORK/verify.log" 2>&1 || {
    cat "$WORK/verify.log" >&2
    fail "zibsim --verify refused a replay"
}
cat "$WORK/verify.log"
first=${files[0]}
for code in 83 68 38 39; do
    grep -q "\"down\": $code}" "$first" || fail "game 1's replay lacks the key $code"
done
grep -q '"result": "Modrý vyhrál"' "$first" || fail "game 1's replay does not hold blue's win"
grep -q '"demo": true' "${files[3]}" || fail "the fourth replay is not the demo's"
grep -q '"demo": true' "${files[4]}" && fail "the game after the demo was recorded as a demo"
log "every replay verifies"

# ---- zib --replay: game 1 to its end, then the pause, then exit 0; nothing new recorded
cd "$GAME"
start=$SECONDS
SDL_AUDIODRIVER=dummy "$GAME/zib" --replay "$first" >"$WORK/zib.log" 2>&1 &
ZIB_PID=$!
wait_for "the playback window" 10 window_shown
wait_exit
[ $((SECONDS - start)) -ge 2 ] || fail "the playback ended before the pause after the result"
replays_are 5 || fail "the playback recorded a replay"
log "playback to the end"

# ---- Esc ends a playback early: game 2 would run to its crash and then pause, some 4 s
start=$SECONDS
SDL_AUDIODRIVER=dummy "$GAME/zib" --replay "${files[1]}" >"$WORK/zib.log" 2>&1 &
ZIB_PID=$!
wait_for "the playback window" 10 window_shown
xdotool mousemove 10 590
xdotool windowfocus "$(xdotool search --name '^ZIB$' | head -n1)" 2>/dev/null || true
key Escape
wait_exit
[ $((SECONDS - start)) -lt 3 ] || fail "Esc did not end the playback early"
log "Esc ends a playback"

# ---- a broken file: a Czech message and exit 2
echo '{"level": 5}' >"$WORK/broken.zibreplay.json"
rc=0
"$GAME/zib" --replay "$WORK/broken.zibreplay.json" 2>"$WORK/broken.log" || rc=$?
[ "$rc" -eq 2 ] || fail "a broken replay gave exit $rc"
grep -q "není platný záznam hry" "$WORK/broken.log" || fail "no Czech message: $(cat "$WORK/broken.log")"
log "passed"
