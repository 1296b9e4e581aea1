# Helpers of the qel_link tests: the bridge, and the bus peer that stands in for qel.

# start_bridge <port> <mode>: qel_link.exe in the background (console output in
# $RUN_DIR/bridge<port>.log); returns once its window has its title. Sets BRIDGE_PID.
start_bridge() {
  start_win "bridge$1" "$QEL_BIN/qel_link.exe" "$1" "$2"
  BRIDGE_PID=$!
  ui find "qel_link_com$1" 20000 >/dev/null || fail "no window qel_link_com$1"
}

# start_controller: a bus peer registered as "qel" with the String mask; its log is
# $CONTROLLER, and `post_keyword <keyword>` posts as the controller does.
start_controller() {
  start_peer ctl "controller peer" 0x200 qel
  CONTROLLER=$RUN_DIR/ctl.peer
}
post_keyword() { peer ctl text 0x200002FF "$1"; }

# The peer's log line of a bridge post: keyword (channel 255) or diagnostic (251).
keyword_line() { echo "recv TYPE=100002FF LEN=${#1} DATA=$1 ZERO=1"; }
diagnostic_line() { echo "recv TYPE=100002FB LEN=${#1} DATA=$1 ZERO=1"; }

# mark <file>: its number of lines now, for expect_after.
mark() { wc -l <"$1"; }

# expect_after <file> <mark> <line> [seconds]: that exact line arrives after the mark.
expect_after() {
  wait_until "${4:-10}" "the line [$3] after line $2 of $(basename "$1")" \
    bash -c 'tail -n +$(($2 + 1)) "$1" | grep -qxF -- "$3"' _ "$1" "$2" "$3"
}

# keywords_after <file> <mark>: the texts of the keyword posts after the mark, one a line.
keywords_after() {
  tail -n +$(($2 + 1)) "$1" | sed -n 's/^recv TYPE=100002FF LEN=[0-9]* DATA=\(.*\) ZERO=1$/\1/p'
}

# ms_of <HH:MM:SS.mmm>: milliseconds since midnight.
ms_of() {
  local h m s
  IFS=: read -r h m s <<<"$1"
  echo $(((10#$h * 3600 + 10#$m * 60) * 1000 + 10#${s%.*} * 1000 + 10#${s#*.}))
}
now_stamp() { date +%H:%M:%S.%3N; }

# expect_delay <what> <from stamp> <to stamp> <least ms> <most ms>
expect_delay() {
  local took=$(($(ms_of "$3") - $(ms_of "$2")))
  ((took >= $4 && took <= $5)) || fail "$1 took $took ms, not $4 to $5"
}

# status_counts <title>: the status line shows the port and its four counters.
status_counts() {
  [[ "$(ui gettext "$1" 1004)" =~ ^COM[0-9]+\ RX=[0-9]+\ TX=[0-9]+\ RF=[0-9]+\ TF=[0-9]+$ ]]
}

# tx_of <title>: the TX counter of the status line.
tx_of() { ui gettext "$1" 1004 | sed -n 's/.* TX=\([0-9]*\) .*/\1/p'; }

# is_hidden <title>: the top-level window with that title is not visible.
is_hidden() { ui list | grep -F "\"$1\"" | grep -q ' hidden$'; }

# gone_process <pid>: waits for that process to end.
gone_process() { wait_until "${2:-20}" "process $1 to end" bash -c "! kill -0 $1"; }

# bridge_listed: the controller peer's latest client list has a "qel_link" client.
bridge_listed() {
  peer ctl info 129
  peer_sync ctl
  grep '^info 129 ' "$CONTROLLER" | tail -n1 | grep -q ' qel_link 0x'
}
bridge_unlisted() { ! bridge_listed; }
is_shown() { ! is_hidden "$1"; }
# tx_above <title> <count>: the TX counter has passed that count.
tx_above() { [ "$(tx_of "$1")" -gt "$2" ]; }
