# qel_link in mode 1 against the control-board simulator (libmodbus) on a pseudo-terminal,
# with a bus peer in the controller's place: the clamp input as "squeezed"/"slack", the
# status and power keywords as register writes, a silent board as "paralyzed", the single-
# instance rule, and both ways out: session end and command 1.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/com_lib.sh"
source "$QEL_SOURCE/tests/wine/bridge_lib.sh"
need_sim sim_control_board

pty_pair "$RUN_DIR/pty"
map_com 5 "$RUN_DIR/pty/a"
start_sim control_board "$RUN_DIR/pty/b"
board=$RUN_DIR/control_board.log
# A port left in XON/XOFF and RTS/CTS by another program: the bridge must switch both off,
# or 0x11 and 0x13 inside frames would be swallowed.
stty -F "$RUN_DIR/pty/a" ixon ixoff crtscts
start_controller
start_bridge 5 1
title=qel_link_com5

# Hidden from the start; the texts of the window and the version on the bus.
wait_until 10 "the bridge window to hide itself" is_hidden $title
expect_eq "mode text" "MODE-1 qel_link 0.1.21 2025-05-21" "$(ui gettext $title 1003)"
wait_until 10 "the status line to show the open port" status_counts $title
flow=$(stty -F "$RUN_DIR/pty/a" -a | grep -oE -- '-?(ixon|ixoff|crtscts)\b' | sort | tr '\n' ' ')
expect_eq "flow control of the open port" "-crtscts -ixoff -ixon " "$flow"
peer ctl info 130
wait_until 10 "the public list" grep -q '^info 130 ' "$CONTROLLER"
expect_contains "bus strings" 'ver_qel_link=0.1.21 2025-05-21\r\n' "$(grep '^info 130 ' "$CONTROLLER")"

# Every poll reports the clamp input.
expect_log "$CONTROLLER" "$(keyword_line slack)"
at=$(mark "$CONTROLLER")
sim_command clamp 1
expect_after "$CONTROLLER" "$at" "$(keyword_line squeezed)"
at=$(mark "$CONTROLLER")
sim_command clamp 0
expect_after "$CONTROLLER" "$at" "$(keyword_line slack)"
at=$(mark "$CONTROLLER")
sim_command clamp 1
expect_after "$CONTROLLER" "$at" "$(keyword_line squeezed)"

# status_word_write <keyword> <board line>: the write reaches the board, its unit-1 echo is
# a frame data error, and a poll after it reads the new word back for the next write.
status_word_write() {
  local at
  at=$(mark "$CONTROLLER")
  post_keyword "$1"
  wait_until 10 "the board after $1" grep -qF "$2" "$board"
  expect_after "$CONTROLLER" "$at" "$(diagnostic_line 'frame data error')"
  at=$(mark "$CONTROLLER")
  expect_after "$CONTROLLER" "$at" "$(keyword_line squeezed)"
}
status_word_write pressurize "unit=1 value=0x0090 clamp=1 pressurize=1 allpass=0 fail=0"
status_word_write status_allpass "unit=1 value=0x00B0 clamp=1 pressurize=1 allpass=1 fail=0"
status_word_write status_fail "unit=1 value=0x00F0 clamp=1 pressurize=1 allpass=1 fail=1"
status_word_write status_clear "unit=1 value=0x0090 clamp=1 pressurize=1 allpass=0 fail=0"

# Power-up: everything off first, two polls, then the station; "powered" about a second on.
at=$(mark "$CONTROLLER")
asked=$(now_stamp)
post_keyword powering_up_2
expect_after "$CONTROLLER" "$at" "$(keyword_line powered)"
powered_on=$(grep -F 'unit=2 value=0x0040 on=3#' "$board" | tail -n1 | cut -d' ' -f1)
[ -n "$powered_on" ] || fail "the board never powered station 3#"
expect_delay "power-up of station 3#" "$asked" "$powered_on" 700 3000
expect_eq "posts of the power-up" "powered_off squeezed squeezed powered" \
  "$(keywords_after "$CONTROLLER" "$at" | sed -n '/^powered_off$/,/^powered$/p' | tr '\n' ' ' | sed 's/ $//')"
at=$(mark "$CONTROLLER")
post_keyword powering_down
wait_until 10 "the board to power everything off" grep -q 'unit=2 value=0x0000 on=none' "$board"
expect_after "$CONTROLLER" "$at" "$(keyword_line powered_off)"

# A silent board: "paralyzed" at every tick until it answers again.
sim_command silent 1
at=$(mark "$CONTROLLER")
expect_after "$CONTROLLER" "$at" "$(keyword_line paralyzed)"
sim_command silent 0
at=$(mark "$CONTROLLER")
expect_after "$CONTROLLER" "$at" "$(keyword_line squeezed)"

# A second bridge for the same port refuses and ends; the first goes on.
first=$BRIDGE_PID
start_win second "$QEL_BIN/qel_link.exe" 5 1
second=$!
expect_eq "refusal" "qel_link_com5 already running" "$(ui msgbox 'already running' 20000)"
gone_process $second
at=$(mark "$CONTROLLER")
expect_after "$CONTROLLER" "$at" "$(keyword_line squeezed)"

# Session end: the bridge closes its port and leaves the bus, but its window stays.
bridge_hwnd=$(ui find $title)
bridge_listed || fail "the bridge is not in the client list"
ui post $title 0x16 1 0
wait_until 10 "the bridge to leave the bus" bridge_unlisted
probe after_end 5 19200 '\x01\x03\x00\x12\x00\x01\x24\x0F' 7 10000 ||
  fail "the port was not free after session end: $(probe_says after_end)"
expect_eq "window after session end" "$bridge_hwnd" "$(ui find $title)"

# Command 1 ends the process.
ui post $title 0x111 1 0
ui gone $title 10000 || fail "the window stayed after command 1"
gone_process $first
echo "bridge control test passed"
