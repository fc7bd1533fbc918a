#!/usr/bin/env bash
# Helpers of the end-to-end tests: a private Xvfb screen of 800 x 600 x 24, the real zib started in
# a fresh folder, screenshots and pixel probes, and waits for conditions with a bound.
set -euo pipefail

ZIB_BIN=${1:?usage: $0 path/to/zib}
ZIB_BUILD=$(cd "$(dirname "$ZIB_BIN")" && pwd)
WORK=$(mktemp -d /tmp/zib-e2e.XXXXXX)
ZIB_PID=""
XVFB_PID=""

fail() {
    echo "FAIL: $*" >&2
    [ -f "$WORK/zib.log" ] && { echo "--- zib output:" >&2; cat "$WORK/zib.log" >&2; }
    exit 1
}

cleanup() {
    [ -n "$ZIB_PID" ] && kill "$ZIB_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

# A fresh folder holding the program and its data folder, as a player would install it.
make_install() {
    mkdir -p "$WORK/game"
    cp "$ZIB_BIN" "$WORK/game/zib"
    cp -r "$ZIB_BUILD/baseq7" "$WORK/game/baseq7"
    rm -f "$WORK/game/baseq7/.stamp"
    GAME="$WORK/game"
}

start_xvfb() {
    local n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 1 100); do
            xdpyinfo >/dev/null 2>&1 && return 0
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.05
        done
    done
    fail "no Xvfb screen could be started"
}

# Starts zib with the current folder $1 (default: the install folder).
start_zib() {
    local cwd=${1:-$GAME}
    (cd "$cwd" && SDL_AUDIODRIVER=dummy exec "$GAME/zib" >"$WORK/zib.log" 2>&1) &
    ZIB_PID=$!
    wait_for "the zib window" 20 window_shown
}

window_shown() { xdotool search --name '^ZIB' >/dev/null 2>&1; }
zib_running() { kill -0 "$ZIB_PID" 2>/dev/null; }
zib_ended() { ! zib_running; }

# wait_for DESCRIPTION SECONDS COMMAND...: polls COMMAND until it succeeds.
wait_for() {
    local what=$1 limit=$2
    shift 2
    local end=$((SECONDS + limit))
    while ! "$@"; do
        [ $SECONDS -ge $end ] && fail "timed out after ${limit}s waiting for $what"
        sleep 0.1
    done
}

shot() { import -window root "$WORK/shot.png" 2>/dev/null; }
# pixel X Y: the colour at (X, Y) of a fresh screenshot as RRGGBB.
pixel() {
    shot
    convert "$WORK/shot.png" -format "%[hex:p{$1,$2}]" info: 2>/dev/null | cut -c1-6
}
# Colour channels of RRGGBB.
red_of() { echo $((16#${1:0:2})); }
green_of() { echo $((16#${1:2:2})); }
blue_of() { echo $((16#${1:4:2})); }
# Counts the pixels of a fresh screenshot's region W x H + X + Y that are close to RRGGBB.
count_colour() {
    shot
    convert "$WORK/shot.png" -crop "$3x$4+$1+$2" +repage -fill black +opaque "#$5" -fill white \
        -opaque "#$5" -format '%[fx:int(mean*w*h+0.5)]' info: 2>/dev/null
}
has_colour() { [ "$(count_colour "$@")" -gt "${6:-0}" ]; }

key() { xdotool key --delay 30 "$@"; }
type_text() { xdotool type --delay 60 "$1"; }
click_at() {
    xdotool mousemove "$1" "$2"
    sleep 0.05
    xdotool click 1
}

start_session() {
    make_install
    start_xvfb
}
