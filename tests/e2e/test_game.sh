#!/usr/bin/env bash
# A player's games in the real window: the title panel with "0" and "0", Enter starts a game, the
# snakes move and turn on their keys, a crash ends the game with a result and a higher win count,
# the menu comes back after the pause; Enter during a game restarts the level; Esc returns to the
# menu without a result.
# Regions and colours are words passed unquoted (see lib.sh).
# shellcheck disable=SC2046,SC2086,SC2119
. "$(dirname "$0")/lib.sh"

start_session

# A level of our own on a plain dark field: red starts at (100, 150) heading right into a green wall
# at x 450, blue at (700, 500) heading left along an open row. Red crashes first, so blue wins.
plain_picture e2epole.bmp '#303030'
plain_picture e2ezed.bmp '#20a020'
cat >"$GAME/baseq7/E2eZed.zq7" <<'EOF'
"e2epole.bmp",100,150,1,0
700,500,-1,0
450,100,460,200,"e2ezed.bmp"
EOF
# The slowest speed (100 ms a step): about 3.5 seconds until red reaches the wall.
write_ini "87,38,83,40,68,39,65,37" "100,E2eZed.zq7,5,10,2"

start_zib
log "menu shown"

# ---- the title panel: both win counts read "0"
shot
has 340 30 333 157 $RED 500 || fail "no red ČERVENÝ: on the title panel"
has 340 30 333 157 $BLUE 500 || fail "no blue MODRÝ: on the title panel"
red0=$(text_box $RED_WINS)
blue0=$(text_box $BLUE_WINS)
[ "${red0%%+*}" = "${blue0%%+*}" ] || fail "the win counts differ at start ($red0, $blue0)"
text_hollow $RED_WINS || fail "red's win count does not look like 0"
text_hollow $BLUE_WINS || fail "blue's win count does not look like 0"
red_print0=$(text_print $RED_WINS)
blue_print0=$(text_print $BLUE_WINS)

# Areas of the game field.
RED_ROW="0 140 450 30"         # red's row up to the wall
RED_ABOVE="90 0 360 140"       # above red's row, and after the wrap at the top edge
RED_WRAPPED="90 420 360 180"
BLUE_ROW="0 490 800 30"        # blue's row
BLUE_BELOW="0 520 800 80"      # below blue's row, and after the wrap at the bottom edge
BLUE_WRAPPED="0 0 800 100"
RESULT="288 282 224 37"        # the result text
RED_COUNT="288 320 57 41"      # the win counts of the game window
BLUE_COUNT="456 320 57 41"

red_front() { right_edge $RED_ROW $RED; }
red_seen() {
    shot
    front=$(red_front)
    [ "$front" -gt 0 ]
}
red_beyond() {
    shot
    [ "$(red_front)" -gt "$1" ]
}
blue_turned() {
    shot
    has $BLUE_BELOW $BLUE || has $BLUE_WRAPPED $BLUE
}
red_turned() {
    shot
    has $RED_ABOVE $RED || has $RED_WRAPPED $RED
}

# ---- game 1: Enter starts it, the snakes move, blue turns down, red crashes, blue wins
key Return
wait_for "the game field" 10 menu_hidden
wait_for "the red snake" 10 red_seen
first=$front
has $BLUE_ROW $BLUE || fail "no blue snake in its row"
has $BLUE_BELOW $BLUE && fail "blue is below its row before any key"
has $RESULT $WHITE 60 && fail "a result shows at the start of the game"
key s
wait_for "blue to turn down on S" 10 blue_turned
wait_for "red to move right (from x $first)" 10 red_beyond $((first + 20))
log "the snakes move and turn"
wait_for "the result text" 15 shot_has $RESULT $WHITE 150
has $BLUE_COUNT $BLUE 30 || fail "blue's win count is not shown in the game window"
has $RED_COUNT $RED 30 || fail "red's win count is not shown in the game window"
log "result shown"
wait_for "the menu after the pause" 10 menu_shown
[ "$(text_print $RED_WINS)" = "$red_print0" ] || fail "red's win count changed though blue won"
blue_print1=$(text_print $BLUE_WINS)
[ "$blue_print1" != "$blue_print0" ] || fail "blue's win count did not rise"
text_hollow $BLUE_WINS && fail "blue's win count still looks like 0"
has 340 30 333 157 $BLUE 500 || fail "the title panel is not back"
log "menu back, blue's win count rose"

# ---- game 2: Enter during play restarts the level after the crash, without the menu
key Return
wait_for "the game field" 10 menu_hidden
wait_for "red on its way to the wall" 10 red_beyond 300
before=$(red_front)
key Return
# Within one game red only moves right; after the crash the level starts again at once, so red is
# seen back near its start, and the menu does not show in between.
restarted() {
    shot
    menu_in_shot && fail "the menu showed instead of a restart"
    front=$(red_front)
    [ "$front" -gt 0 ] && [ "$front" -lt $((before - 50)) ]
}
wait_for "the restarted level" 15 restarted
log "the level restarted"

# ---- game 3 (the restarted one): red turns up on the arrow key; Esc ends it without a result
has $RED_ABOVE $RED && fail "red is above its row before any key"
key Up
wait_for "red to turn up" 10 red_turned
key Escape
no_result_until_menu() {
    shot
    menu_in_shot && return 0
    has $RESULT $WHITE 60 && fail "a result shows after Esc"
    return 1
}
wait_for "the menu after Esc" 10 no_result_until_menu
shot
[ "$(text_print $RED_WINS)" = "$red_print0" ] || fail "red's win count changed"
blue_print2=$(text_print $BLUE_WINS)
[ "$blue_print2" != "$blue_print1" ] || fail "blue's win count did not rise after the restarted game"
[ "$blue_print2" != "$blue_print0" ] || fail "blue's win count went back to 0"
log "Esc: menu without a result; counts as expected"

type_text exit
wait_exit
log "passed"
