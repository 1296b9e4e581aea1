# A cycle in which station 3 fails one measurement: it is shown and recorded as failed,
# never powered or programmed, and the fail lamp is lit while the others are programmed.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"
source "$QEL_SOURCE/tests/e2e/station.sh"

station_up "$E2E_SCRIPTS/one_fail.txt"

set_qr_codes QB01 QB02 QB03 QB04
close_clamp
wait_cycle_end
expect_lamps "allpass=0 fail=1"
expect_powered "programming" "1# none 2# none 4#"
expect_images "after the cycle" "$IDB_PASS $IDB_PASS $IDB_FAIL $IDB_PASS"
error_line="3# 错误 R1=11.200kOhm 范围=9.500___10.500"
for line in "1#测试通过" "2#测试通过" "3#测试失败" "4#测试通过" "$error_line" "1#写入成功" \
  "2#写入成功" "3#未执行写入操作" "4#写入成功"; do
  pane_has_line $RESULT "$line" || fail "no [$line] in the result pane"
done
pane_has_line $PROGRESS "No.2=0" || fail "no [No.2=0] in the progress pane"
expect_eq "programming runs (one plan line is left)" 1 "$(plan_left)"

expect_eq "records written" 6 "$(record_count)"
expect_tester_record "$E2E_SCRIPTS/one_fail.txt"
expect_file "station 3 record" "$(station_record QB03)" '%s\r\n%s' "$error_line" \
  "3# PASS VCC=3.300V range=3.150___3.450"
expect_file "station 2 record" "$(station_record QB02)" '\r\n%s\r\n%s' \
  "2# PASS R1=9.970kOhm range=9.500___10.500" "2# PASS VCC=3.290V range=3.150___3.450"
expect_file "programming result record" "$(program_record)" '%s\r\n' "1#QRQB01 写入成功" \
  "2#QRQB02 写入成功" "3#QRQB03 QEL未通过，未执行写入操作" "4#QRQB04 写入成功"
echo "failing-station cycle test passed"
