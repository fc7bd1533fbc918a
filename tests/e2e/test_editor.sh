#!/usr/bin/env bash
# The level editor in the real window: zib --window --edit Novy opens it on a new level; a wall is
# dragged from (200, 200) to (300, 260), both starts are put, Ctrl+S saves and Esc leaves to the
# menu. The file holds the wall and passes zibsim --check-level; Enter then plays the new level,
# whose replay zibsim --verify accepts.
# shellcheck disable=SC2046,SC2086
. "$(dirname "$0")/lib.sh"

ZIBSIM="$ZIB_BUILD/zibsim"
[ -x "$ZIBSIM" ] || fail "no zibsim beside zib ($ZIBSIM)"
LEVELS="$XDG_DATA_HOME/zib/levels"
REPLAYS="$XDG_DATA_HOME/zib/replays"

# A screen as wide as the editor, whose window then lies at (0, 0).
start_xvfb 1000x600x24
make_install

rm -f "$WORK/zib.log"
(cd "$GAME" && SDL_AUDIODRIVER=dummy exec "$GAME/zib" --window --edit Novy >"$WORK/zib.log" 2>&1) &
ZIB_PID=$!
wait_for "the zib window" 30 window_shown
WIN=$(xdotool search --name '^ZIB$' | head -n1)
window_width() { xdotool getwindowgeometry "$WIN" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p'; }
editor_wide() { [ "$(window_width)" = 1000 ]; }
menu_back() { [ "$(window_width)" = 800 ]; }
wait_for "the editor's 1000-pixel window" 20 editor_wide
xdotool windowfocus "$WIN" 2>/dev/null || true
# The panel's metal on the right.
wait_for "the tool panel" 20 shot_has 820 300 170 200 90 250 90 250 90 250 20000
log "editor shown"

# ---- a wall, dragged with the left button
xdotool mousemove 200 200 mousedown 1
sleep 0.1
xdotool mousemove 250 230
sleep 0.1
xdotool mousemove 300 260
sleep 0.1
xdotool mouseup 1
sleep 0.2
# ---- the starts: red below the wall heading up, blue on the right heading left
key c
click_at 405 455
key Up
key m
click_at 600 400
key Left
key ctrl+s
saved() { [ -f "$LEVELS/Novy.zq7" ] && [ -f "$LEVELS/Novy.dat" ]; }
wait_for "the saved level" 10 saved
key Escape
wait_for "the menu" 20 menu_back
log "saved and left"

grep -q '^200,200,300,260,' "$LEVELS/Novy.zq7" || fail "the wall is not in the file: $(cat "$LEVELS/Novy.zq7")"
grep -q '^"[^"]*",400,450,0,-1' "$LEVELS/Novy.zq7" || fail "red's start is wrong: $(cat "$LEVELS/Novy.zq7")"
grep -q '^600,400,-1,0' "$LEVELS/Novy.zq7" || fail "blue's start is wrong: $(cat "$LEVELS/Novy.zq7")"
"$ZIBSIM" --check-level "$LEVELS/Novy.zq7" >"$WORK/check.log" 2>&1 ||
    fail "zibsim --check-level refuses the level: $(cat "$WORK/check.log")"
grep -q 'playable (0 errors' "$WORK/check.log" || fail "unexpected check: $(cat "$WORK/check.log")"

# ---- the new level is the chosen one: Enter plays it, Esc ends the game, its replay verifies
key Return
sleep 1.5
key Escape
replay_written() { [ -n "$(find "$REPLAYS" -name '*.zibreplay.json' 2>/dev/null)" ]; }
wait_for "the replay of the game on the new level" 20 replay_written
REPLAY=$(find "$REPLAYS" -name '*.zibreplay.json' | head -n1)
grep -q 'Novy' "$REPLAY" || fail "the replay is not of the new level"
"$ZIBSIM" --verify "$REPLAY" >"$WORK/verify.log" 2>&1 ||
    fail "zibsim --verify refused the replay: $(cat "$WORK/verify.log")"
log "the new level plays and its replay verifies"

# The menu, back after the game's pause, centred on the wider screen: its metal below the items.
menu_again() { shot_has 100 410 320 190 90 250 90 250 90 250 55000; }
wait_for "the menu after the game" 20 menu_again
type_text exit
wait_exit
log "done"
