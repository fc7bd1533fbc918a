#!/usr/bin/env bash
# Damaged files: a damaged ZIB.ini, a broken level file and an empty level folder each give their
# message (on the screen and on standard error) and leave the program usable.
# Regions and colours are words passed unquoted (see lib.sh).
# shellcheck disable=SC2046,SC2086,SC2119
. "$(dirname "$0")/lib.sh"

start_xvfb

MESSAGE="140 150 520 300"
message_open() { shot_has $MESSAGE $MESSAGE_PANEL 3000; }
message_closed() {
    shot
    ! has $MESSAGE $MESSAGE_PANEL 3000 && menu_in_shot
}
said() { grep -q -- "$1" "$WORK/zib.log"; }
# Enter closes a message and does nothing else: the menu stays.
close_message() {
    key Return
    wait_for "the message to close" 10 message_closed
    sleep 0.5
    menu_shown || fail "Enter on the message did more than close it"
}
# A game starts from the menu and Esc brings the menu back.
plays_a_game() {
    key Return
    wait_for "a game" 10 menu_hidden
    sleep 0.5
    shot
    menu_in_shot && fail "the game ended at once"
    key Escape
    wait_for "the menu after Esc" 10 menu_shown
}

# ---- a damaged ZIB.ini: message at start, defaults in use, the damaged file kept at EXIT
make_install
printf '87,38,83,xx,68\r\n' >"$GAME/ZIB.ini"
mapfile -t levels < <(listed_levels)
start_zib
wait_for "the message about ZIB.ini" 10 message_open
said "ZIB: Soubor ZIB.ini je poškozený" || fail "no message about ZIB.ini on standard error"
close_message
plays_a_game
type_text exit
wait_exit
[ "$(cat "$GAME/ZIB.ini")" = "$(printf '87,38,83,40,68,39,65,37\r\n46,%s.zq7,5,10,2\r\n' \
    "${levels[0]}")" ] || { od -c "$GAME/ZIB.ini" >&2; fail "ZIB.ini does not hold the defaults"; }
[ "$(cat "$GAME/ZIB.ini.bad")" = "$(printf '87,38,83,xx,68\r\n')" ] ||
    fail "the damaged file was not kept as ZIB.ini.bad"
log "damaged ZIB.ini: message, defaults, usable"

# ---- a broken level file: message at START, the menu stays; another level plays
make_install
printf '"hlina.jpg",100,abc,1,0\r\n700,400,-1,0\r\n' >"$GAME/baseq7/Rozbity.zq7"
write_ini "87,38,83,40,68,39,65,37" "46,Rozbity.zq7,5,10,2"
mapfile -t levels < <(listed_levels)
start_zib
shot
has $MESSAGE $MESSAGE_PANEL 3000 && fail "a message shows before the broken level was started"
key Return
wait_for "the message about the broken level" 10 message_open
said "ZIB: .*Rozbity" || fail "no message naming the broken level on standard error"
close_message
# Choose a sound level in the mods panel: the first of the six rows that is not the broken one.
row=0
[ "${levels[0]}" = Rozbity ] && row=1
click_at 140 150
wait_for "the mods panel" 10 shot_has 376 80 150 184 $DARK 50
click_at 420 $((80 + row * 31 + 14))
sleep 0.5
park_pointer
plays_a_game
log "broken level: message, menu usable, ${levels[$row]} plays"
type_text exit
wait_exit
grep -q "^46,${levels[$row]}.zq7,5,10,2" "$GAME/ZIB.ini" || fail "the chosen level was not saved"

# ---- an empty level folder: message at START, the menu stays and still works
make_install
rm -f "$GAME"/baseq7/*.zq7
start_zib
key Return
wait_for "the message about the empty level folder" 10 message_open
said "ZIB: Ve složce baseq7 není žádný level" || fail "no message about the empty folder"
close_message
# The options panel still opens.
click_at 150 224
wait_for "the options panel" 10 shot_has 488 56 75 29 $DARK 20
type_text exit
wait_exit
[ "$(head -n1 "$GAME/ZIB.ini")" = "$(printf '87,38,83,40,68,39,65,37\r')" ] ||
    fail "ZIB.ini was not written"
log "empty level folder: message, menu usable; ZIB.ini line 2: $(sed -n 2p "$GAME/ZIB.ini")"
log "passed"
