# Confirming the settings closes both bridges and starts them again at once: round after
# round both new bridges run with their ports open and none says "already running", also
# when the old control bridge's port stays taken for a while after its window has gone (a
# process still ending, as under Wine for two or three seconds).
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"
source "$QEL_SOURCE/tests/e2e/station.sh"

station_up "$SIM_SCRIPTS/pass.txt"

# both_ports_open: both bridges serve their ports; a refusal ends the test at once.
both_ports_open() {
  ! ui msgbox "already running" 0 >/dev/null 2>&1 ||
    fail "round $round: a bridge says it is already running"
  port_open $TESTER_PORT && port_open $BOARD_PORT
}

# confirm_settings: the settings dialog confirmed unchanged, which restarts the bridges.
confirm_settings() {
  open_settings
  ui click "$S" 1 || fail "OK"
  ui gone "$S" 10000 || fail "the settings dialog did not close"
}

# linger <ms>: the control bridge's port stays taken this long after its window has gone.
linger() {
  local log=$RUN_DIR/hold$round.log
  # Not through ui, which passes output on only once the program has ended.
  wine "$QEL_BIN/uidriver.exe" hold "Global\\qel_link_com$BOARD_PORT" "qel_link_com$BOARD_PORT" \
    "$1" >"$log" 2>&1 &
  wait_until 20 "the port's name to be held" grep -q held "$log"
}

for round in 1 2 3; do
  ((round == 1)) || linger 3000
  confirm_settings
  wait_until 30 "round $round: both bridges to open their ports" both_ports_open
  expect_eq "round $round: bridge processes" 2 "$(wine_pids qel_link.exe | wc -l)"
done
! pane_lines $PROGRESS | grep -F "qel_link_com" || fail "qel reported a bridge it started"

# A port taken for longer than a new bridge waits: the bridge refuses, and qel names it.
round=4
linger 9000
confirm_settings
expect_line $PROGRESS "can not start qel_link_com$BOARD_PORT" 40
ui msgbox "already running" 0 >/dev/null || fail "the refused bridge shows no message"
echo "settings restart test passed"
