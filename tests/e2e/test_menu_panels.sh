#!/usr/bin/env bash
# The menu's panels driven with the mouse and keyboard: OPTIONS rebinds a key and sets the speed by
# dragging the gauge; MODS scrolls the level list, shows a level's preview, chooses a mode, the
# growth and the start length; the typed word "exit" ends the program and ZIB.ini holds exactly
# what was chosen.
# Regions and colours are words passed unquoted (see lib.sh).
# shellcheck disable=SC2046,SC2086,SC2119
. "$(dirname "$0")/lib.sh"

start_session
write_ini "87,38,83,40,68,39,65,37" "46,Barvy.zq7,5,10,2"
mapfile -t levels < <(listed_levels)
[ ${#levels[@]} -ge 8 ] || fail "the build's data folder has only ${#levels[@]} levels"

start_zib

# ---- OPTIONS
SLOT0="488 56 75 29"                 # blue's up key, "W"
gauge_cell() { echo "$((369 + 45 + 20 * $1)) 280 20 20"; }
click_at 150 224
wait_for "the options panel" 10 shot_has $SLOT0 $DARK 20
has 340 30 333 157 $RED 100 && fail "the title panel still shows beside the options"
save_region slot0_before $SLOT0
for i in 7 10 11 12; do
    save_region "cell${i}_before" $(gauge_cell $i)
done
has $(gauge_cell 10) 150 255 0 90 0 90 && fail "the handle is on cell 10 before the drag"

# Rebind: a click arms the slot (its caption turns blue), the next key binds it.
click_at 520 70
wait_for "the armed slot's blue caption" 10 shot_has $SLOT0 $CAPTION_BLUE 20
key k
slot_bound() {
    shot
    ! has $SLOT0 $CAPTION_BLUE && has $SLOT0 $DARK 20
}
wait_for "the slot to take the key" 10 slot_bound
[ "$(region_differs slot0_before $SLOT0)" -gt 20 ] || fail "the slot still shows its old key"
log "key rebound"

# Speed: drag along the gauge with the left button held, to 213 of its 320 pixels (position 10).
xdotool mousemove 420 290
sleep 0.1
xdotool mousedown 1
for x in 450 500 550 600 627; do
    xdotool mousemove "$x" 290
    sleep 0.05
done
xdotool mouseup 1
gauge_moved() {
    shot
    ! same_region cell10_before $(gauge_cell 10)
}
wait_for "the gauge's handle to move" 10 gauge_moved
# Left of the handle every cell is filled, as cell 7 was before (the old handle's cell 8 too); right
# of it the empty cells stay as they were; the handle (with its red mark) is on cell 10.
for i in 8 9; do
    same_region cell7_before $(gauge_cell $i) || fail "gauge cell $i is not filled"
done
for i in 11 12; do
    same_region "cell${i}_before" $(gauge_cell $i) || fail "gauge cell $i right of the handle changed"
done
same_region cell7_before $(gauge_cell 10) && fail "gauge cell 10 is filled instead of the handle"
has $(gauge_cell 10) 150 255 0 90 0 90 || fail "no handle on gauge cell 10"
log "speed gauge dragged"

# "OK" closes the panel and the title panel comes back.
click_at 740 560
wait_for "the title panel after OK" 10 shot_has 340 30 333 157 $RED 500

# ---- MODS
ROWS="376 80 150 184"
PREVIEW="352 336 330 250"
click_at 140 150
wait_for "the mods panel" 10 shot_has $ROWS $DARK 50
save_region rows0 $ROWS
save_region preview0 $PREVIEW
# The arrows: clicked beside the rows, which lie over their left parts. Two single clicks down and
# one up leave the list moved by one row.
click_at 571 246
sleep 0.8
click_at 571 246
sleep 0.8
click_at 571 106
rows_moved() {
    shot
    ! same_region rows0 $ROWS
}
wait_for "the rows to scroll" 10 rows_moved
# Rows now show entries 1 to 6; the third row (row 2) is entry 3.
chosen=${levels[3]}
click_at 420 $((80 + 2 * 31 + 14))
convert "$GAME/baseq7/$chosen.dat" "$WORK/chosen.png"
preview_shown() {
    shot
    convert "$SHOT" -crop 330x250+352+336 +repage "$WORK/preview.png"
    # The picture as it is in the file; a few pixels of leeway for the decoder.
    [ "$(compare -metric AE -fuzz 3% "$WORK/chosen.png" "$WORK/preview.png" null: 2>&1 |
        cut -d' ' -f1)" -lt 200 ]
}
wait_for "the preview of $chosen" 10 preview_shown
log "level $chosen chosen, its preview shows"

# Mode: "1 HRÁC" turns blue, "ZIB KLASIK" (chosen by the file) turns black.
KLASIK="648 104 140 24"
JEDEN="668 128 120 24"
has $KLASIK $CAPTION_BLUE 20 || fail "ZIB KLASIK is not marked as the mode read from the file"
has $JEDEN $CAPTION_BLUE && fail "1 HRÁC is marked before it was chosen"
click_at 690 140
mode_chosen() {
    shot
    has $JEDEN $CAPTION_BLUE 20 && ! has $KLASIK $CAPTION_BLUE
}
wait_for "1 HRÁC to be marked" 10 mode_chosen

# Growth: one click and one double click on "+" (three steps, 5 to 8); start length: one click on
# its "+" (10 to 20).
GROWTH="424 280 276 24"
LENGTH="360 304 340 24"
save_region growth0 $GROWTH
save_region length0 $LENGTH
click_at 712 292
sleep 0.8
xdotool click --repeat 2 --delay 80 1
sleep 0.8
click_at 712 317
captions_changed() {
    shot
    ! same_region growth0 $GROWTH && ! same_region length0 $LENGTH
}
wait_for "the growth and start length captions" 10 captions_changed
log "mode, growth and start length set"

# ---- the typed word "exit" ends the program and writes the settings
park_pointer
type_text exit
wait_exit
expected=$(printf '75,38,83,40,68,39,65,37\r\n33,%s.zq7,8,20,3\r\n' "$chosen")
actual=$(cat "$GAME/ZIB.ini")
if [ "$actual" != "$expected" ]; then
    echo "expected:" >&2
    printf '%s' "$expected" | od -c >&2
    echo "written:" >&2
    od -c "$GAME/ZIB.ini" >&2
    fail "ZIB.ini does not hold the chosen settings"
fi
[ "$(wc -l <"$GAME/ZIB.ini")" -eq 2 ] || fail "ZIB.ini has not exactly two lines"
log "passed"
