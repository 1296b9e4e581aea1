# Closing the controller closes both bridges, which release their ports: a new start finds
# no bridge "already running", opens both ports again and runs the fixture.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"
source "$QEL_SOURCE/tests/e2e/station.sh"

station_up "$SIM_SCRIPTS/pass.txt"
expect_eq "bridge processes" 2 "$(wine_pids qel_link.exe | wc -l)"

qel_close
ui gone "qel_link_com$TESTER_PORT" 20000 || fail "the tester bridge is still there"
ui gone "qel_link_com$BOARD_PORT" 20000 || fail "the control bridge is still there"
wait_until 20 "the bridge processes to end" none_running qel_link.exe

# The fixture is closed while nothing runs: the first report after the restart starts a test.
board clamp 1
start_station
! ui msgbox "already running" 1000 >/dev/null 2>&1 || fail "a bridge says it is already running"
expect_eq "bridge processes after the restart" 2 "$(wine_pids qel_link.exe | wc -l)"
wait_until 20 "the tester's start command" grep -q ' start$' "$TESTER_LOG"

qel_close
wait_until 20 "the bridge processes to end" none_running qel_link.exe
echo "close test passed"
