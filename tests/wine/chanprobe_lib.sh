# Helpers of the probe's Windows-side tests; sourced after harness.sh.

PROBE_START_TITLE="LUMO Test Dialog(Version 2.0)"
PROBE_TITLE_TAIL="ZETOL(v1.0-0-g6fa9e40) Build(2021-07-19)"

# bound_title: the title of the probe window that shows the library's version, if any.
bound_title() {
  ui list | tr -d '\r' | grep -F "$PROBE_TITLE_TAIL\"" | head -n1 |
    sed -E 's/^[0-9A-Fa-f]+ [^ ]+ "(.*)"( hidden)?$/\1/'
}
has_bound_title() { [ -n "$(bound_title)" ]; }

# traffic <title>: the rows of the traffic list, "number text" each.
traffic() { ui gettext "$1" 1048 | tr -d '\r'; }
# traffic_texts <title>: the rows' texts without their numbers.
traffic_texts() { traffic "$1" | sed -E 's/^ *[0-9]+ ?//'; }
# traffic_has <title> <extended regex>: some row's text matches.
traffic_has() { traffic_texts "$1" | grep -qE -- "$2"; }
# traffic_count <title>: how many rows hold a line.
traffic_count() { traffic_texts "$1" | grep -c . || true; }
# row_is <title> <line number from 1> <extended regex>: that row, with its number, matches.
row_is() { traffic "$1" | sed -n "$2p" | grep -qE -- "$3"; }
traffic_empty() { [ "$(traffic_count "$1")" = 0 ]; }
# expect_traffic <title> <extended regex>
expect_traffic() { wait_until 20 "a traffic row matching $2" traffic_has "$1" "$2"; }

# text_of <title> <id>: a control's text without carriage returns.
text_of() { ui gettext "$1" "$2" | tr -d '\r'; }
box_has() { [[ "$(text_of "$1" "$2")" == *"$3"* ]]; }
box_lacks() { [[ "$(text_of "$1" "$2")" != *"$3"* ]]; }

# win_path <unix path>: the same file for a Windows program.
win_path() { echo "Z:${1//\//\\}"; }

# peer_start <name> <mask> [text|bytes|value <type> <data>...]: a second bus client
# titled "peer <name>" that records what it gets in $RUN_DIR/<name>.rec; returns once it
# is registered, and once it has posted when it was given something to post.
peer_start() {
  local name=$1 mask=$2
  shift 2
  local rec=$RUN_DIR/$name.rec
  start_win "peer-$name" "$QEL_BIN/chanprobe_peer.exe" "peer $name" "$(win_path "$rec")" \
    "$mask" "$@"
  wait_until 30 "peer $name to register" grep -q '^registered ' "$rec"
  if [ $# -gt 0 ]; then
    wait_until 20 "peer $name to post" grep -qx 'posted' "$rec"
  fi
}
peer_has() { grep -qxF -- "$2" "$RUN_DIR/$1.rec"; }
# expect_peer <name> <line>: the peer records exactly this line.
expect_peer() { wait_until 20 "peer $1 to record: $2" peer_has "$1" "$2"; }
# peer_handle <name>: its window handle as the library lists it (eight hex digits).
peer_handle() {
  local h
  h=$(sed -n 's/^registered //p' "$RUN_DIR/$1.rec")
  printf '%08X' "$((16#$h))"
}
# list_handle <title>: a window's handle as the library lists it.
list_handle() {
  local h
  h=$(ui find "$1" 5000 | tr -d '\r') || fail "no window titled $1"
  printf '%08X' "$((16#$h))"
}

# press <title> <id> <expected traffic regex>: clicks a button and waits for its echo.
press() {
  ui click "$1" "$2" || fail "click $2"
  expect_traffic "$1" "$3"
}
