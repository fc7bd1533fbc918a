#!/usr/bin/env bash
# The program's start: the command line's answers, the message and quick end without a display,
# and full screen on screens larger than the picture (no window manager): the whole menu scaled
# with its aspect kept and centred between black bars, clicks landing on the right items, and
# Alt+Enter switching to a window and back, remembered beside ZIB.ini.
# shellcheck disable=SC2046,SC2086
. "$(dirname "$0")/lib.sh"

# ---- the command line, without any display
out=$(env -u DISPLAY "$ZIB_BIN" --help) || fail "--help ended with status $?"
grep -q -- "--window" <<<"$out" || fail "--help does not list --window: $out"
out=$(env -u DISPLAY "$ZIB_BIN" --version) || fail "--version ended with status $?"
[ "$out" = "zib 1.1.0" ] || fail "--version printed '$out'"
rc=0
env -u DISPLAY "$ZIB_BIN" --bogus >"$WORK/out" 2>"$WORK/err" || rc=$?
[ "$rc" -eq 2 ] || fail "an unknown option ended with status $rc"
[ -s "$WORK/out" ] && fail "an unknown option printed on standard output"
grep -q "Použití" "$WORK/err" || fail "an unknown option gave no usage: $(cat "$WORK/err")"
log "command line answered"

# ---- no display: a Czech message and status 1 at once
make_install
rc=0
begin=$(date +%s%N)
(cd "$GAME" && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 10 ./zib) \
    >"$WORK/out" 2>"$WORK/err" || rc=$?
took=$((($(date +%s%N) - begin) / 1000000))
[ "$rc" -eq 1 ] || fail "without a display zib ended with status $rc"
grep -q "grafické prostředí" "$WORK/err" || fail "no message without a display: $(cat "$WORK/err")"
[ "$took" -lt 5000 ] || fail "without a display zib took $took ms to end"
log "no display: status 1 after $took ms"

# ---- full screen on larger screens
# The picture's place on a W x H screen: the 800 x 600 frame scaled by the smaller ratio, centred.
picture_rect() {
    local w=$1 h=$2 pw ph
    if [ $((w * 600)) -le $((h * 800)) ]; then
        pw=$w
        ph=$((600 * w / 800))
    else
        ph=$h
        pw=$((800 * h / 600))
    fi
    echo "$(((w - pw) / 2)) $(((h - ph) / 2)) $pw $ph"
}
# A frame point on the screen: the middle of the screen pixels that show it.
to_screen() {
    echo "$((PX + ($1 * 2 + 1) * PW / 1600)) $((PY + ($2 * 2 + 1) * PH / 1200))"
}
window_visible() { xdotool search --onlyvisible --name '^ZIB$' >/dev/null 2>&1; }
all_black() { [ "$(count "$@" 0 8 0 8 0 8)" -eq $(($3 * $4)) ]; }
start_big() {
    rm -f "$WORK/zib.log"
    (cd "$GAME" && SDL_AUDIODRIVER=dummy exec ./zib "$@" >"$WORK/zib.log" 2>&1) &
    ZIB_PID=$!
    wait_for "the zib window" 30 window_visible
    WIN=$(xdotool search --onlyvisible --name '^ZIB$' | head -n1)
    xdotool mousemove 1 1
    xdotool windowfocus "$WIN" 2>/dev/null || true
}
menu_scaled() {
    shot
    # The menu's metal texture, below its words, fills its place scaled.
    local x y
    read -r x y < <(to_screen 0 410)
    [ "$(count $x $y $((320 * PW / 800)) $((190 * PH / 600)) 90 250 90 250 90 250)" -gt \
        $((55000 * PW / 800 * PH / 600)) ]
}
window_size() { xdotool getwindowgeometry "$WIN" | awk '/Geometry/ {print $2}'; }
preference() { [ -f "$GAME/ZIB-obrazovka.ini" ] && tr -d '\r' <"$GAME/ZIB-obrazovka.ini"; }
size_is() { [ "$(window_size)" = "$1" ]; }
preference_is() { [ "$(preference)" = "$1" ]; }

for size in 1280x1024 1920x1080; do
    stop_zib
    [ -n "$XVFB_PID" ] && { kill "$XVFB_PID"; wait "$XVFB_PID" 2>/dev/null || true; }
    start_xvfb "${size}x24"
    make_install
    W=${size%x*}
    H=${size#*x}
    read -r PX PY PW PH < <(picture_rect "$W" "$H")
    start_big
    wait_for "the scaled menu on $size" 15 menu_scaled
    # Black bars where the picture leaves the screen free, none across it.
    if [ "$PX" -gt 0 ]; then
        all_black 0 0 "$PX" "$H" || fail "the left bar on $size is not black"
        all_black $((PX + PW)) 0 $((W - PX - PW)) "$H" || fail "the right bar on $size is not black"
    fi
    if [ "$PY" -gt 0 ]; then
        all_black 0 0 "$W" "$PY" || fail "the top bar on $size is not black"
        all_black 0 $((PY + PH)) "$W" $((H - PY - PH)) || fail "the bottom bar on $size is not black"
    fi
    # The picture's corners are the menu's own, not black: nothing of it is cut off.
    for corner in "0 0" "790 0" "0 590" "790 590"; do
        read -r x y < <(to_screen $corner)
        all_black "$x" "$y" 4 4 && fail "the picture's corner at frame $corner is black on $size"
    done
    log "$size: picture at $PX,$PY size ${PW}x$PH, black bars around it"

    # Alt+Enter: a window of 800 x 600, remembered; again: full screen, remembered.
    key alt+Return
    wait_for "the window on $size" 10 size_is 800x600
    wait_for "the remembered window" 10 preference_is okno
    key alt+Return
    wait_for "full screen again on $size" 10 size_is "${W}x$H"
    wait_for "the remembered full screen" 10 preference_is "celá obrazovka"
    wait_for "the scaled menu after the switches" 10 menu_scaled
    [ "$(wc -l <"$GAME/ZIB.ini")" -eq 2 ] || fail "ZIB.ini does not keep its two lines"
    log "$size: Alt+Enter switched to a window and back"

    # A click on EXIT lands on EXIT: the program ends and saves its settings.
    read -r x y < <(to_screen 116 368)
    click_at "$x" "$y"
    wait_exit
    log "$size: a click on EXIT ended the program"
done

# The remembered window comes back at the next start; --window gives one whatever was remembered.
printf 'okno\r\n' >"$GAME/ZIB-obrazovka.ini"
start_big
wait_for "the remembered window at start" 10 size_is 800x600
stop_zib
printf 'celá obrazovka\r\n' >"$GAME/ZIB-obrazovka.ini"
start_big --window
wait_for "a window with --window" 10 size_is 800x600
log "the window choice holds at start"
