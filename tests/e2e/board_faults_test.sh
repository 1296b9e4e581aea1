# A control board on a noisy line, with the real station around it:
# - keywords that meet within one 250 ms tick: "pressurize" and a lamp keyword both reach
#   the board, and "powering_down" cancels a power-up still waiting;
# - faults while the bridge polls are reported on the bridge's channels, and polling is
#   clean again as soon as each fault stops;
# - a fault during the power write stalls the cycle (no retry), and 写入 recovers it.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"
source "$QEL_SOURCE/tests/wine/bridge_lib.sh"
source "$QEL_SOURCE/tests/e2e/station.sh"

station_up "$SIM_SCRIPTS/pass.txt"
start_line_peer
expect_log "$LINE_PEER" "$(keyword_line slack)"

as_controller pressurize
as_controller status_fail
wait_until 10 "the board to be pressurized with its fail lamp lit" \
  grep -q 'pressurize=1 allpass=0 fail=1' "$BOARD_LOG"

BOARD_MARK=$(wc -l <"$BOARD_LOG")
as_controller powering_up_2
as_controller powering_down
sent=$(frames_sent $BOARD_PORT)
wait_until 10 "six more frames to the board" frames_sent_above $BOARD_PORT $((sent + 5))
expect_eq "the power register after a cancelled power-up" "" "$(power_history)"

# fault_during_polling <command> <diagnostic or keyword line> <command that ends it>
fault_during_polling() {
  local at
  at=$(mark "$LINE_PEER")
  board "$1"
  expect_after "$LINE_PEER" "$at" "$2"
  if [ -n "$3" ]; then
    board "$3"
  fi
  at=$(mark "$LINE_PEER")
  expect_after "$LINE_PEER" "$at" "$(keyword_line slack)"
}
fault_during_polling "crc 2" "$(diagnostic_line 'crc error')"
fault_during_polling "wrong unit" "$(diagnostic_line 'frame data error')"
fault_during_polling "noise 5" "$(diagnostic_line 'received unknow size.')"
fault_during_polling "exception 1" "$(diagnostic_line 'received unknow size.')"
fault_during_polling "echo 1" "$(diagnostic_line 'received unknow size.')" "echo 0"
fault_during_polling "split 300" "$(diagnostic_line 'received unknow size.')" "split 0"
fault_during_polling "delay 600" "$(keyword_line paralyzed)" "delay 0"

# The board hears itself during the power write: every reply reads as the wrong size, so
# "powered" never comes and the cycle waits, though the board did power station 1.
set_qr_codes QG01 QG02 QG03 QG04
close_clamp
board echo 1
expect_line $PROGRESS "powering_up_0"
wait_until 10 "the board to power station 1" grep -q 'on=1#$' "$BOARD_LOG"
sent=$(frames_sent $BOARD_PORT)
wait_until 10 "four more frames to the board" frames_sent_above $BOARD_PORT $((sent + 3))
expect_eq "programming runs without powered" 4 "$(plan_left)"
! pane_has_line $RESULT "测试和写入完成" || fail "the cycle finished without programming"

board echo 0
ui click "$T" $WRITE || fail "could not press 写入"
wait_cycle_end
expect_lamps "allpass=1 fail=0"
expect_tester_record "$SIM_SCRIPTS/pass.txt"
expect_file "programming result record" "$(program_record)" '%s\r\n' "1#QRQG01 写入成功" \
  "2#QRQG02 写入成功" "3#QRQG03 写入成功" "4#QRQG04 写入成功"
echo "control board faults test passed"
