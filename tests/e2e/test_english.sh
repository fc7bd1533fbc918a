#!/usr/bin/env bash
# The game in English: started with an English locale (LANG=en_US.UTF-8, and LANGUAGE=en for a
# machine without that locale), the menu's help scrolls up in English and a game's result reads
# in English. The help on the screen is compared with the English and the Czech help pictures of
# the data folder; the result's width with the widths of its Czech and English texts (from
# po/en.po) drawn in the game's font, against the same result of a Czech run.
# Regions and colours are words passed unquoted (see lib.sh).
# shellcheck disable=SC2046,SC2086,SC2119
. "$(dirname "$0")/lib.sh"

PO="$(dirname "$0")/../../po/en.po"
[ -f "$PO" ] || fail "no catalogue source $PO"
start_session
unset ZIB_LANGUAGE LC_ALL LC_MESSAGES

# english CZECH: the English of a text in po/en.po.
english() {
    awk -v id="msgid \"$1\"" '$0 == id { getline; sub(/^msgstr "/, ""); sub(/"$/, ""); print; exit }' "$PO"
}

# ---- the help, on an English menu
export LANG=en_US.UTF-8 LANGUAGE=en
start_zib
click_at 128 296
# The help's dark text as on the screen (its top row at -2, at x 360), and as in a picture.
HELP_ON_SCREEN="360 0 420 598"
picture_mask() {
    convert "$GAME/baseq7/menu/$1" -crop 420x598+0+2 +repage -separate -evaluate-sequence max \
        -threshold $((60 * 257)) -negate "$WORK/$1.mask.png"
}
picture_mask helptext.bmp
picture_mask helptext-en.bmp
# How many of a picture's dark pixels are dark on the screen, in percent. The screen combines the
# picture with the metal by AND, which only darkens, so all of them are, for the picture shown.
covered() {
    local dark both
    dark=$(convert "$WORK/$1.mask.png" -format '%[fx:int(mean*w*h)]' info:)
    both=$(convert "$WORK/screen.mask.png" "$WORK/$1.mask.png" -compose multiply -composite \
        -format '%[fx:int(mean*w*h)]' info:)
    echo $((both * 100 / (dark > 0 ? dark : 1)))
}
help_in_english() {
    shot
    dark_mask $HELP_ON_SCREEN "$WORK/screen.mask.png"
    en=$(covered helptext-en.bmp)
    cs=$(covered helptext.bmp)
    [ "$en" -ge 95 ] && [ "$cs" -lt 80 ]
}
wait_for "the English help at the top" 30 help_in_english
log "the help is the English one: $en % of its text on the screen, $cs % of the Czech one's"
type_text exit
wait_exit

# ---- a game's result, in Czech and then in English: red runs into a wall, blue wins.
wall_level
WIDE_RESULT="288 282 320 37"
result_width() {
    local box
    box=$(colour_mask $WIDE_RESULT $WHITE -format '%@' info:)
    echo "${box%%x*}"
}
# The result is shown once its white text is there in full (the food is white too, but small).
result_shown() {
    shot
    [ "$(count $WIDE_RESULT $WHITE)" -gt 1000 ]
}
play_to_result() {
    start_zib
    key Return
    wait_for "the result" 20 result_shown
    result_width >"$WORK/width"
    wait_for "the menu after the game" 20 menu_shown
    type_text exit
    wait_exit
}
export LANG=C.UTF-8 LANGUAGE=''
play_to_result
czech_width=$(cat "$WORK/width")
export LANG=en_US.UTF-8 LANGUAGE=en
play_to_result
english_width=$(cat "$WORK/width")
czech_text="Modrý vyhrál"
english_text=$(english "$czech_text")
[ -n "$english_text" ] || fail "po/en.po has no English for \"$czech_text\""
# The face the game picks for its result (MS Sans Serif and the families after it).
font=$(fc-match -f '%{file}' 'MS Sans Serif,Microsoft Sans Serif,Arial,sans-serif:bold:scalable=true')
drawn_width() { convert -font "$font" -pointsize 100 label:"$1" -trim -format '%w' info:; }
expected=$(drawn_width "$english_text")
czech_drawn=$(drawn_width "$czech_text")
log "result widths: Czech run $czech_width, English run $english_width; drawn $czech_drawn and $expected"
# The English run's result is to the Czech run's as the English text is to the Czech one.
awk -v cw="$czech_width" -v ew="$english_width" -v cd="$czech_drawn" -v ed="$expected" \
    'BEGIN { r = ew / cw; want = ed / cd; exit !(cw > 20 && r > want - 0.08 && r < want + 0.08) }' ||
    fail "the result is not \"$english_text\" (width ratio $english_width/$czech_width, wanted $expected/$czech_drawn)"
log "passed"
