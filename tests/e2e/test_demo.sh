#!/usr/bin/env bash
# Demo games: the typed word "demo" starts one and any key ends it; an idle menu starts one by
# itself after 20 seconds. Neither changes the win counts or the settings that EXIT writes.
# Regions and colours are words passed unquoted (see lib.sh).
# shellcheck disable=SC2046,SC2086,SC2119
. "$(dirname "$0")/lib.sh"

start_session
LINE1="87,38,83,40,68,39,65,37"
LINE2="46,Pole.zq7,5,10,2"
write_ini "$LINE1" "$LINE2"
start_zib
shot
red_print0=$(text_print $RED_WINS)
blue_print0=$(text_print $BLUE_WINS)

# ends_demo KEY: the demo game is still running, KEY ends it, the menu comes back after the pause
# with unchanged win counts.
ends_demo() {
    # The computer keeps both snakes alive for a while: the game still runs a moment later.
    sleep 1
    shot
    menu_in_shot && fail "the demo game ended by itself at once"
    key "$1"
    wait_for "the menu after the demo" 8 menu_shown
    [ "$(text_print $RED_WINS)" = "$red_print0" ] || fail "red's win count changed in a demo"
    [ "$(text_print $BLUE_WINS)" = "$blue_print0" ] || fail "blue's win count changed in a demo"
}

# ---- typed "demo"
type_text demo
wait_for "the demo game" 10 menu_hidden
log "typed demo started a game"
ends_demo x
log "a key ended the demo"

# ---- idle: no key, no pointer movement; the countdown started when the menu came back
back=$SECONDS
wait_for "the idle demo" 40 menu_hidden
idle=$((SECONDS - back))
log "the idle demo started after about ${idle}s"
# Seen at most a second or two after it happened; it must not come before the 20 s are up.
[ "$idle" -ge 15 ] || fail "the idle demo started after ${idle}s, before 20 s of idleness"
ends_demo Left
log "a direction key ended the idle demo"

# The demo's level and one-player mode were put back: EXIT writes the settings as they were.
type_text exit
wait_exit
[ "$(cat "$GAME/ZIB.ini")" = "$(printf '%s\r\n%s\r\n' "$LINE1" "$LINE2")" ] || {
    od -c "$GAME/ZIB.ini" >&2
    fail "ZIB.ini changed through the demo games"
}
log "passed"
