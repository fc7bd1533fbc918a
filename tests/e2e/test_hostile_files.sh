#!/usr/bin/env bash
# Files and signals a careless or hostile user may give: a FIFO among the player's levels (START
# and the idle demo refuse it at once), replays beyond the limits of ZIB.ini, too large or naming
# pictures outside the data folder (refused with a message), SIGTERM and SIGINT to zib and zibsim
# at any moment (they end by that signal, their temporary folders gone), and a game started
# without a home folder (one line, no player folders).
# Regions and colours are words passed unquoted (see lib.sh).
# shellcheck disable=SC2046,SC2086,SC2119
. "$(dirname "$0")/lib.sh"

ZIBSIM="$ZIB_BUILD/zibsim"
[ -x "$ZIBSIM" ] || fail "no zibsim beside zib ($ZIBSIM)"
start_session
# The temporary folders of zib --replay and zibsim go here, where the test can see them.
export TMPDIR="$WORK/tmp"
mkdir -p "$TMPDIR"
temp_empty() { [ -z "$(ls -A "$TMPDIR")" ]; }
temp_used() { ! temp_empty; }

MESSAGE="140 150 520 300"
message_open() { shot_has $MESSAGE $MESSAGE_PANEL 3000; }
message_closed() {
    shot
    ! has $MESSAGE $MESSAGE_PANEL 3000 && menu_in_shot
}
said_times() { grep -c -- "$1" "$WORK/zib.log" || true; }

# ---- a FIFO as the only level, in the player's level folder
rm -f "$GAME"/baseq7/*.zq7
mkdir -p "$XDG_DATA_HOME/zib/levels"
mkfifo "$XDG_DATA_HOME/zib/levels/Aaa.zq7"
write_ini "87,38,83,40,68,39,65,37" "46,Aaa.zq7,5,10,2"
start_zib
key Return
wait_for "the message about the FIFO at START" 10 message_open
[ "$(said_times 'Mapu „.*Aaa.zq7“ nelze přečíst.')" -eq 1 ] || fail "no level message at START"
key Return
wait_for "the message to close" 10 message_closed
# Nobody at the keyboard: the idle demo draws the same level after 20 s.
wait_for "the idle demo's message" 40 message_open
[ "$(said_times 'Mapu „.*Aaa.zq7“ nelze přečíst.')" -eq 2 ] || fail "no level message for the demo"
key Return
wait_for "the message to close" 10 message_closed
type_text exit
wait_exit
log "a FIFO level is refused at START and by the idle demo"

# ---- replays: the limits of ZIB.ini, the size, picture names
make_install
wall_level
LEVEL=$(sed -e 's/\\/\\\\/g' -e 's/"/\\"/g' "$GAME/baseq7/E2eZed.zq7" | awk '{printf "%s\\n", $0}')
# replay SPEED [LEVEL]: a replay of the wall level (or the given level text) at that speed.
replay() {
    printf '{"level": "%s", "levelFile": "E2eZed.zq7", "gameSpeed": %s, "seed": 5}\n' \
        "${2:-$LEVEL}" "$1"
}
# refused FILE WORDS...: zib --replay FILE ends at once with status 2 and a message holding
# each of WORDS; nothing is left in the temporary folder.
refused() {
    local file=$1 rc=0
    shift
    (cd "$GAME" && SDL_AUDIODRIVER=dummy exec "$GAME/zib" --replay "$file" >"$WORK/zib.log" 2>&1) &
    ZIB_PID=$!
    wait_for "zib --replay $(basename "$file") to end" 10 zib_ended
    wait "$ZIB_PID" || rc=$?
    ZIB_PID=""
    [ "$rc" -eq 2 ] || fail "zib --replay $file ended with $rc"
    for word in "$@"; do
        grep -qF -- "$word" "$WORK/zib.log" || fail "no \"$word\" in: $(cat "$WORK/zib.log")"
    done
    temp_empty || fail "zib --replay left $(ls "$TMPDIR")"
}
replay 2000000000 >"$WORK/slow.json"
refused "$WORK/slow.json" "není platný záznam hry" gameSpeed 1000
# A FIFO named as a picture by its full path: refused before anything opens it.
mkfifo "$WORK/fifo.bmp"
replay 100 "\\\"$WORK/fifo.bmp\\\",100,150,1,0\\n700,500,1,0\\n" >"$WORK/fifo.json"
refused "$WORK/fifo.json" "není platný záznam hry" "$WORK/fifo.bmp"
truncate -s 65M "$WORK/large.json"
refused "$WORK/large.json" "nelze přečíst: soubor je větší než 64 MiB"
log "replays beyond the limits are refused"

# ---- SIGTERM and SIGINT during a replay at the slowest speed ZIB.ini allows: a step a second
# stop_by SIGNAL: the program of ZIB_PID ends within seconds of SIGNAL (a step takes one), killed
# by it.
stop_by() {
    local rc=0 code
    code=$(kill -l "$1")
    kill -s "$1" "$ZIB_PID"
    wait_for "the program to end after $1" 5 zib_ended
    wait "$ZIB_PID" || rc=$?
    ZIB_PID=""
    [ "$rc" -eq $((128 + code)) ] || fail "ended with $rc after $1"
    temp_empty || fail "$1 left $(ls "$TMPDIR")"
}
replay 1000 >"$WORK/second.json"
for signal in TERM INT; do
    (cd "$GAME" && SDL_AUDIODRIVER=dummy exec "$GAME/zib" --replay "$WORK/second.json" \
        >"$WORK/zib.log" 2>&1) &
    ZIB_PID=$!
    wait_for "the playback window" 10 window_shown
    temp_used || fail "no temporary folder for the playback"
    sleep 1.5 # within a step
    stop_by $signal
done
log "zib --replay ends on SIGTERM and SIGINT, its folder removed"

# ---- the same for zibsim, deep in a game that does not end
printf '{"level": "%s", "free": true, "maxTicks": 2000000000}\n' "$LEVEL" >"$WORK/endless.json"
for signal in TERM INT; do
    "$ZIBSIM" --quiet "$WORK/endless.json" >"$WORK/zib.log" 2>&1 &
    ZIB_PID=$!
    # zibsim plays without a window and needs no temporary folder; none may be left either way.
    sleep 1
    kill -0 "$ZIB_PID" 2>/dev/null || fail "zibsim ended before $signal"
    stop_by $signal
done
log "zibsim ends on SIGTERM and SIGINT, leaving no temporary folder"

# ---- and for the game: in the idle menu, and in the middle of a step of a second
write_ini "87,38,83,40,68,39,65,37" "1000,E2eZed.zq7,5,10,2"
start_zib
sleep 1
stop_by INT
start_zib
key Return
wait_for "the game" 10 menu_hidden
sleep 1.5
stop_by TERM
log "zib ends on SIGINT in the menu and on SIGTERM during a game"

# ---- no home folder: one line, and the program goes on
(
    unset HOME XDG_DATA_HOME XDG_CONFIG_HOME
    start_zib
    grep -q "ZIB: domovská složka není známa" "$WORK/zib.log" || fail "no line about HOME"
    [ "$(wc -l <"$WORK/zib.log")" -eq 1 ] || fail "more than one line: $(cat "$WORK/zib.log")"
    type_text exit
    wait_exit
)
log "passed"
