#!/usr/bin/env bash
# Codes that lead nowhere, typed by a joiner in the second home: a code nobody had, the code of a
# host that already plays with somebody, and the code of a host that has left. Each joiner says in
# Czech which it was.
. "$(dirname "$0")/lib.sh"
host_with_code keep keep --log-level debug
first=$CODE

# joiner_says CODE TEXT: a joiner with CODE prints TEXT and is ended.
joiner_says() {
    start_joiner_with "$NS_HOME2" --join "$1" --server "$EXT.2"
    said() { grep -qF "ZIB: $2" "$WORK/joiner.log"; }
    wait_for "the joiner's refusal of $1" 10 said "$@"
    log "$1: $(grep '^ZIB:' "$WORK/joiner.log" | head -n1)"
    kill "$JOINER_PID"
    wait "$JOINER_PID" 2>/dev/null || true
    rm -rf "$WORK/joiner-data" "$WORK/joiner-config"
}

wrong=AAAAAA
[ "$first" = AAAAAA ] && wrong=BBBBBB
joiner_says "$wrong" "Server ZIB takový kód pozvánky nezná"

# A real joiner plays with the host: the start frees the code.
start_joiner_with "$NS_HOME2" --join "$first" --server "$EXT.2"
play_game
kill "$JOINER_PID"
wait "$JOINER_PID" 2>/dev/null || true
rm -rf "$WORK/joiner-data" "$WORK/joiner-config"
joiner_says "$first" "Hostitel s tímto kódem pozvánky už hraje s jiným soupeřem."

# A second host registers and leaves before anybody joins.
stop_host TERM
start_host --no-port-mapping --server "$EXT.2"
second_code() { has_invite_code && [ "$(invite_code)" != "$first" ]; }
wait_for "the second host's code" 10 second_code
second=$(invite_code)
stop_host TERM
joiner_says "$second" "Hostitel s tímto kódem pozvánky už odešel; požádejte ho o nový kód."
kill -0 "$SERVER_PID" || fail "the server ended"
log "passed"
