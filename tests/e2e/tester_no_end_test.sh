# The tester stops without its end marker: after twenty ticks the tester bridge reports
# "qel_paralyzed", nothing is judged, recorded, powered or lit. The station is not stuck:
# the next clamp runs a full cycle with a tester that finishes.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"
source "$QEL_SOURCE/tests/e2e/station.sh"

station_up "$SIM_SCRIPTS/no_end.txt"

set_qr_codes QF01 QF02 QF03 QF04
close_clamp
expect_line $PROGRESS "probe contact lost, program halted"
expect_line $PROGRESS qel_paralyzed 40
expect_images "without an end marker" "$IDB_TESTING $IDB_TESTING $IDB_TESTING $IDB_TESTING"
! pane_lines $RESULT | grep -q '#测试' || fail "stations were judged: $(pane_lines $RESULT)"
expect_eq "records written" 0 "$(record_count)"
expect_eq "the power register" "" "$(power_history)"
expect_lamps "allpass=0 fail=0"
expect_eq "programming runs" 4 "$(plan_left)"

start_tester "$SIM_SCRIPTS/pass.txt"
open_clamp
set_qr_codes QF11 QF12 QF13 QF14
close_clamp
wait_cycle_end
expect_lamps "allpass=1 fail=0"
expect_powered "programming" "1# none 2# none 3# none 4#"
expect_tester_record "$SIM_SCRIPTS/pass.txt"
expect_file "programming result record" "$(program_record)" '%s\r\n' "1#QRQF11 写入成功" \
  "2#QRQF12 写入成功" "3#QRQF13 写入成功" "4#QRQF14 写入成功"
echo "tester without end marker test passed"
