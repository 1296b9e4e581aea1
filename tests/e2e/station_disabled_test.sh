# Station 2 disabled in the stored settings: shown as disabled, neither recorded, powered
# nor programmed, and left out of the overall result, so the others passing lights all-pass.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"
source "$QEL_SOURCE/tests/e2e/station.sh"

station_up "$SIM_SCRIPTS/pass.txt" check_stall1=0
expect_images "at start-up" "$IDB_READY $IDB_DISABLED $IDB_READY $IDB_READY"

set_qr_codes QC01 QC02 QC03 QC04
close_clamp
wait_cycle_end
expect_lamps "allpass=1 fail=0"
expect_powered "programming" "1# none 3# none 4#"
expect_images "after the cycle" "$IDB_PASS $IDB_DISABLED $IDB_PASS $IDB_PASS"
for line in "1#测试通过" "3#测试通过" "4#测试通过" "1#写入成功" "3#写入成功" "4#写入成功"; do
  pane_has_line $RESULT "$line" || fail "no [$line] in the result pane"
done
for line in "2#测试通过" "2#测试失败" "2#写入成功" "2#写入失败" "2#未执行写入操作"; do
  ! pane_has_line $RESULT "$line" || fail "the disabled station has [$line] in the result pane"
done
! pane_lines $PROGRESS | grep -q '^No\.1=' || fail "the disabled station has a No.1= progress line"
expect_eq "programming runs (one plan line is left)" 1 "$(plan_left)"

expect_eq "records written" 5 "$(record_count)"
[ -z "$(station_record QC02)" ] || fail "the disabled station has a record: $(station_record QC02)"
expect_file "programming result record" "$(program_record)" '%s\r\n' "1#QRQC01 写入成功" \
  "2#QRQC02 该位置未使能，未执行写入操作" "3#QRQC03 写入成功" "4#QRQC04 写入成功"
echo "disabled-station cycle test passed"
