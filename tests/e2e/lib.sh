#!/usr/bin/env bash
# Helpers of the end-to-end tests: a private Xvfb screen of 800 x 600 x 24, the real zib started in
# a fresh folder, screenshots and pixel probes, and waits for conditions with a bound.
#
# Window and keyboard: with no window manager on the bare Xvfb screen, the full-screen window
# (SDL's "full screen desktop") simply covers the whole 800 x 600 root, at (0, 0), so screen and
# window coordinates are the same. The keyboard focus is set on the window with XSetInputFocus
# (xdotool windowfocus, which needs no window manager); the pointer also rests inside the window,
# so the server's default pointer-root focus would reach it too. Keys are sent as plain XTEST
# events (xdotool key / type without --window): SDL drops synthetic events sent to a window.
#
# Regions and colours are kept as words ("X Y W H", "RLO RHI GLO GHI BLO BHI") and passed unquoted,
# so that they split into the numbers the probes take.
# shellcheck disable=SC2034,SC2046,SC2086
set -euo pipefail

ZIB_BIN=${1:?usage: $0 path/to/zib}
ZIB_BIN=$(cd "$(dirname "$ZIB_BIN")" && pwd)/$(basename "$ZIB_BIN")
ZIB_BUILD=$(dirname "$ZIB_BIN")
TEST_NAME=$(basename "$0" .sh)
WORK=$(mktemp -d /tmp/zib-e2e.XXXXXX)
# Replays and other files of the player go to the test's own folder, never to the real home.
export XDG_DATA_HOME="$WORK/data"
SHOT="$WORK/shot.png"
# The player's own folders of the tests: never those of whoever runs them.
export XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data"
ZIB_PID=""
XVFB_PID=""
GAME=""

log() { echo "[$TEST_NAME $(date +%T)] $*"; }

fail() {
    echo "FAIL ($TEST_NAME): $*" >&2
    if [ -f "$SHOT" ]; then
        # The last screenshot is kept for a look at what the screen showed.
        local keep="/tmp/zib-e2e-$TEST_NAME-failed.png"
        cp "$SHOT" "$keep" 2>/dev/null && echo "last screenshot: $keep" >&2
    fi
    [ -f "$WORK/zib.log" ] && { echo "--- zib output:" >&2; cat "$WORK/zib.log" >&2; }
    exit 1
}

stop_zib() {
    if [ -n "$ZIB_PID" ]; then
        kill "$ZIB_PID" 2>/dev/null || true
        wait "$ZIB_PID" 2>/dev/null || true
        ZIB_PID=""
    fi
}

cleanup() {
    stop_zib
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT

# A fresh folder holding the program, its data folder and its catalogues, as a player would
# install it, with the default settings file of the build beside it. Sets GAME.
make_install() {
    GAME="$WORK/game$((${GAME_COUNT:-0} + 1))"
    GAME_COUNT=$((${GAME_COUNT:-0} + 1))
    mkdir -p "$GAME"
    cp "$ZIB_BIN" "$GAME/zib"
    cp -r "$ZIB_BUILD/baseq7" "$GAME/baseq7"
    # The English catalogue, which the program looks for beside itself.
    cp -r "$ZIB_BUILD/locale" "$GAME/locale"
    rm -f "$GAME/baseq7/.stamp"
    write_ini "87,38,83,40,68,39,65,37" "46,Barvy.zq7,5,10,2"
}

# write_ini LINE1 LINE2: the settings file of the install folder, lines ended by CR LF.
write_ini() {
    printf '%s\r\n%s\r\n' "$1" "$2" >"$GAME/ZIB.ini"
}

# A plain picture for levels of the tests: plain_picture NAME COLOUR (24-bit BMP, 50 x 50).
plain_picture() {
    convert -size 50x50 "xc:$2" -type TrueColor "BMP3:$GAME/baseq7/$1"
}

# A level whose games end by themselves, chosen in ZIB.ini at the slowest speed (100 ms a step):
# red starts at (100, 150) heading right into a wall at x 450 that spans the field's height, about
# 3.5 s away; blue starts at (700, 500) heading right and meets the wall only after wrapping round.
# So red crashes first whatever it does on the way.
wall_level() {
    plain_picture e2epole.bmp '#303030'
    plain_picture e2ezed.bmp '#20a020'
    cat >"$GAME/baseq7/E2eZed.zq7" <<'LEVEL'
"e2epole.bmp",100,150,1,0
700,500,1,0
450,0,460,590,"e2ezed.bmp"
LEVEL
    write_ini "87,38,83,40,68,39,65,37" "100,E2eZed.zq7,5,10,2"
}

# The level files of the install folder in the order the game lists them (by name, ASCII letters
# compared as upper case, names differing only in case in byte order), one name a line, without
# the extension.
listed_levels() {
    find "$GAME/baseq7" -mindepth 1 -maxdepth 1 -printf '%f\n' | while IFS= read -r e; do
        [ ${#e} -gt 4 ] && [ "${e: -3}" = "zq7" ] && echo "${e:0:${#e}-4}"
    done | LC_ALL=C sort -f
    return 0
}

# start_xvfb [WxHxDEPTH]: the screen, 800x600x24 unless given.
start_xvfb() {
    local fifo="$WORK/display" n="" size=${1:-800x600x24}
    # Xvfb picks a free display number itself and tells it through the file descriptor. It keeps
    # its state when its last client leaves: a server that resets then refuses for a moment the
    # program started next ("x11 not available").
    Xvfb -displayfd 9 -screen 0 "$size" -nolisten tcp -noreset 9>"$fifo" >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 1 200); do
        n=$(tr -dc '0-9' <"$fifo" 2>/dev/null || true)
        [ -n "$n" ] && break
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.05
    done
    [ -n "$n" ] || fail "no Xvfb screen could be started: $(cat "$WORK/xvfb.log")"
    export DISPLAY=":$n"
    for _ in $(seq 1 100); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.05
    done
    fail "the Xvfb screen $DISPLAY does not answer"
}

# Starts zib in the install folder (or the folder $1) and waits until the menu shows; keeps the
# menu's look for menu_shown. The pointer rests at a place of the menu without controls.
start_zib() {
    local cwd=${1:-$GAME}
    rm -f "$WORK/zib.log"
    (cd "$cwd" && SDL_AUDIODRIVER=dummy exec "$GAME/zib" >"$WORK/zib.log" 2>&1) &
    ZIB_PID=$!
    wait_for "the zib window" 30 window_shown
    local win
    win=$(xdotool search --name '^ZIB$' | head -n1)
    xdotool mousemove 10 590
    xdotool windowfocus "$win" 2>/dev/null || true
    wait_for "the menu texture" 30 menu_painted
    remember_menu
}

# The window maps with its first frame; before that a search by name would find it unmapped.
window_shown() { xdotool search --onlyvisible --name '^ZIB$' >/dev/null 2>&1; }
zib_running() { [ -n "$ZIB_PID" ] && kill -0 "$ZIB_PID" 2>/dev/null; }
zib_ended() { ! zib_running; }

# Waits for the program to end by itself and checks its exit status.
wait_exit() {
    wait_for "the program to end" 30 zib_ended
    local rc=0
    wait "$ZIB_PID" || rc=$?
    ZIB_PID=""
    [ "$rc" -eq 0 ] || fail "zib ended with status $rc"
}

# wait_for DESCRIPTION SECONDS COMMAND...: polls COMMAND until it succeeds, fails after SECONDS.
wait_for() {
    local what=$1 limit=$2
    shift 2
    local end=$((SECONDS + limit))
    while ! "$@"; do
        [ $SECONDS -ge $end ] && fail "timed out after ${limit}s waiting for $what"
        # The condition is asked again when zib has gone: it may have come true in between, as
        # when the thing waited for is the program's own end.
        zib_running || "$@" || fail "zib ended while waiting for $what"
        sleep 0.1
    done
}

# ---- screenshots and probes. Probes look at the last screenshot; `shot` takes a fresh one.

shot() {
    import -window root "$SHOT" 2>/dev/null || fail "no screenshot"
}

# colour_mask X Y W H COLOUR [OUTPUT...]: the region of the last screenshot as a mask of the pixels of
# that colour (white) on black, written by the given ImageMagick output options.
colour_mask() {
    local x=$1 y=$2 w=$3 h=$4
    local lo=("$5" "$7" "$9") hi=("$6" "$8" "${10}")
    shift 10
    local args=() ch
    for ch in 0 1 2; do
        args+=(\( -clone "$ch" -threshold $((${lo[$ch]} * 257 - 1)) \))
        args+=(\( -clone "$ch" -threshold $((${hi[$ch]} * 257)) -negate \))
    done
    convert "$SHOT" -crop "${w}x${h}+${x}+${y}" +repage -separate "${args[@]}" -delete 0-2 \
        -evaluate-sequence min "$@"
}
# count X Y W H RLO RHI GLO GHI BLO BHI: pixels of the region W x H + X + Y of the last screenshot
# whose red, green and blue values lie within the given ranges (0..255).
count() { colour_mask "${@:1:10}" -format '%[fx:int(mean*w*h+0.5)]' info:; }
# The colours looked for, as ranges: a snake's body and head, the win counts of the game window,
# the result text, the black captions and win counts of the menu, the blue of a chosen caption.
RED="200 255 0 70 0 70"
BLUE="0 70 0 70 170 255"
WHITE="235 255 235 255 235 255"
DARK="0 50 0 50 0 50"
CAPTION_BLUE="0 40 0 40 215 255"
MESSAGE_PANEL="212 216 212 216 216 220"

# right_edge X Y W H COLOUR: the screen x just right of the rightmost pixel of that colour in the
# region, or 0 when there is none.
right_edge() {
    local box w h bx
    box=$(colour_mask "${@:1:10}" -format '%@' info: 2>/dev/null)
    IFS='x+' read -r w h bx _ <<<"$box"
    if [ "${w:-0}" -gt 0 ] && [ "$(count "${@:1:10}")" -gt 0 ]; then
        echo $(($1 + bx + w))
    else
        echo 0
    fi
}

# has X Y W H COLOUR [MIN]: the last screenshot has more than MIN (default 0) such pixels there
# (COLOUR is one of the ranges above, unquoted: six numbers).
has() {
    local n
    n=$(count "${@:1:10}")
    [ "$n" -gt "${11:-0}" ]
}
# shot_has: the same on a fresh screenshot (for wait_for).
shot_has() {
    shot
    has "$@"
}
shot_lacks() { ! shot_has "$@"; }

# save_region NAME X Y W H: keeps that part of the last screenshot as $WORK/NAME.png.
save_region() {
    convert "$SHOT" -crop "${4}x${5}+${2}+${3}" +repage "$WORK/$1.png"
}
# region_differs NAME X Y W H: how many pixels of the region of the last screenshot differ from the
# kept region NAME.
region_differs() {
    convert "$SHOT" -crop "${4}x${5}+${2}+${3}" +repage "$WORK/cmp.png"
    compare -metric AE "$WORK/$1.png" "$WORK/cmp.png" null: 2>&1 | cut -d' ' -f1
}
same_region() { [ "$(region_differs "$@")" -eq 0 ]; }

# The menu is recognised by two parts that no panel, highlight or message covers: the top of the
# divider and the metal texture below the menu words.
MENU_PARTS=("divider 320 0 27 60" "texture 0 410 320 190")
menu_painted() {
    shot
    # Mostly grey metal, no black of an unpainted window.
    [ "$(count 0 410 320 190 90 250 90 250 90 250)" -gt 55000 ]
}
remember_menu() {
    local p
    for p in "${MENU_PARTS[@]}"; do
        save_region $p
    done
}
menu_in_shot() {
    local p
    for p in "${MENU_PARTS[@]}"; do
        same_region $p || return 1
    done
}
menu_shown() {
    shot
    menu_in_shot
}
menu_hidden() { ! menu_shown; }

# Win counts of the menu: the black text in the boxes of the red and the blue win label.
RED_WINS="672 40 121 65"
BLUE_WINS="672 120 121 65"
# dark_mask X Y W H: the region of the last screenshot as a mask of its dark (text) pixels.
dark_mask() {
    local x=$1 y=$2 w=$3 h=$4
    shift 4
    convert "$SHOT" -crop "${w}x${h}+${x}+${y}" +repage -separate -evaluate-sequence max \
        -threshold $((60 * 257)) -negate "$@" 2>/dev/null
}
# text_box X Y W H: the bounding box of the dark text there, as W x H + X + Y within the region.
text_box() { dark_mask "$1" "$2" "$3" "$4" -format '%@' info:; }
# text_print X Y W H: a fingerprint of the dark text there (the same text on the same background
# gives the same print).
text_print() { dark_mask "$1" "$2" "$3" "$4" -depth 1 gray:- | md5sum | cut -c1-16; }
# text_hollow X Y W H: the middle of the text's bounding box is not dark, as in a "0".
text_hollow() {
    local box w h x y
    box=$(text_box "$@")
    IFS='x+' read -r w h x y <<<"$box"
    [ "$w" -gt 4 ] && [ "$h" -gt 4 ] || return 1
    [ "$(dark_mask "$1" "$2" "$3" "$4" -format "%[fx:p{$((x + w / 2)),$((y + h / 2))}.r]" info:)" = 0 ]
}

# ---- input

key() { xdotool key --delay 40 "$@"; }
type_text() { xdotool type --delay 80 "$1"; }
click_at() {
    xdotool mousemove "$1" "$2"
    sleep 0.1
    xdotool click 1
    sleep 0.1
}
# Leaves the pointer at a place of the menu without controls.
park_pointer() { xdotool mousemove 10 590; }

start_session() {
    start_xvfb
    make_install
}
