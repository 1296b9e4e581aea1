# qel_link in mode 0 against the tester simulator on a pseudo-terminal, with a bus peer in
# the controller's place: "qel_start" sends "cmdst()\r" about a second later, every line
# comes back as a post in order, whole when it arrived in pieces, then "qel_end"; a run
# without the end marker gives "qel_paralyzed" after 20 ticks. The tray's exit ends it.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/com_lib.sh"
source "$QEL_SOURCE/tests/wine/bridge_lib.sh"
need_sim sim_tester

pty_pair "$RUN_DIR/pty"
map_com 3 "$RUN_DIR/pty/a"
start_controller
start_bridge 3 0
title=qel_link_com3
expect_eq "mode text" "MODE-0 qel_link 0.1.21 2025-05-21" "$(ui gettext $title 1003)"

# run_script <script> [sim options...]: starts the simulator with it, posts "qel_start"
# and checks the delay of the start command and every line posted, then "qel_end" unless
# the script has no end marker. Leaves AT at the peer's mark before the start.
run_script() {
  local script=$1
  shift
  start_sim tester "$RUN_DIR/pty/b" "$script" "$@"
  wait_until 10 "the status line to show the open port" status_counts $title
  AT=$(mark "$CONTROLLER")
  local asked
  asked=$(now_stamp)
  post_keyword qel_start
  wait_until 10 "the tester to be started" grep -q ' start$' "$RUN_DIR/tester.log"
  expect_delay "start command" "$asked" "$(grep ' start$' "$RUN_DIR/tester.log" | cut -d' ' -f1)" \
    950 5000
  wait_until 20 "the tester to finish" grep -q ' done ' "$RUN_DIR/tester.log"
  local expected
  expected=$(grep -v '^@pause ' "$script" | grep -v '^$')
  if grep -qF '{clear//}' "$script"; then
    expected+=$'\nqel_end'
  fi
  wait_until 10 "every line of $(basename "$script")" \
    bash -c '[ "$(keywords_after "$1" "$2" | wc -l)" -ge "$3" ]' _ "$CONTROLLER" "$AT" \
    "$(wc -l <<<"$expected")"
  expect_eq "posts of $(basename "$script")" "$expected" "$(keywords_after "$CONTROLLER" "$AT")"
  stop_sim
}
export -f keywords_after

run_script "$QEL_SOURCE/sim/scripts/pass.txt"
run_script "$QEL_SOURCE/sim/scripts/fail.txt" --split 7 --split-pause 30

# No end marker: the lines, then "qel_paralyzed" 20 ticks after the start command.
run_script "$QEL_SOURCE/sim/scripts/no_end.txt"
expect_after "$CONTROLLER" "$AT" "$(keyword_line qel_paralyzed)" 30
expect_eq "qel_paralyzed posts" 1 "$(grep -cxF "$(keyword_line qel_paralyzed)" "$CONTROLLER")"
expect_no_log "$CONTROLLER" "DATA=Port closed"

# The tray menu's exit ends the process.
ui post $title 0x111 32772 0
ui gone $title 10000 || fail "the window stayed after the tray's exit"
gone_process $BRIDGE_PID
echo "bridge tester test passed"
