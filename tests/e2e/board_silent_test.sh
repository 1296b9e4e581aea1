# The control board goes silent while the tester runs: the tester's result still arrives and
# is judged, the control bridge reports "paralyzed", and the power-up it asks for is lost, so
# the cycle waits for "powered". Once the board answers again the operator presses "写入"
# and the cycle is finished from the judgement it already has.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"
source "$QEL_SOURCE/tests/e2e/station.sh"

station_up "$SIM_SCRIPTS/pass.txt"

set_qr_codes QE01 QE02 QE03 QE04
close_clamp
board silent 1
wait_until 10 "the board to go silent" grep -q 'silent=1' "$BOARD_LOG"
expect_line $PROGRESS paralyzed
expect_line $PROGRESS "powering_up_0"
expect_images "judged, waiting for power" \
  "$IDB_TEST_PASS $IDB_TEST_PASS $IDB_TEST_PASS $IDB_TEST_PASS"
expect_eq "records written before the power-up" 5 "$(record_count)"
# The power-up goes out three idle ticks after its keyword, one frame a tick: five more
# frames and it has surely gone unanswered.
sent=$(frames_sent $BOARD_PORT)
wait_until 10 "five more frames to the silent board" frames_sent_above $BOARD_PORT $((sent + 4))

board silent 0
wait_until 10 "the board to answer again" grep -q 'silent=0' "$BOARD_LOG"
expect_eq "the power register while silent" "" "$(power_history)"
expect_eq "programming runs while silent" 4 "$(plan_left)"
! pane_has_line $RESULT "测试和写入完成" || fail "the cycle finished without programming"

ui click "$T" $WRITE || fail "could not press 写入"
wait_cycle_end
expect_lamps "allpass=1 fail=0"
expect_powered "programming after 写入" "1# none 2# none 3# none 4#"
expect_images "after the cycle" "$IDB_PASS $IDB_PASS $IDB_PASS $IDB_PASS"
expect_tester_record "$SIM_SCRIPTS/pass.txt"
expect_file "programming result record" "$(program_record)" '%s\r\n' "1#QRQE01 写入成功" \
  "2#QRQE02 写入成功" "3#QRQE03 写入成功" "4#QRQE04 写入成功"
echo "silent control board test passed"
