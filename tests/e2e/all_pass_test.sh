# One normal cycle of the whole station: the clamp closes, all four stations pass the
# tester, are powered one at a time and programmed, the all-pass lamp is lit, and every
# record holds what it should.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"
source "$QEL_SOURCE/tests/e2e/station.sh"

station_up "$SIM_SCRIPTS/pass.txt"
expect_images "at start-up" "$IDB_READY $IDB_READY $IDB_READY $IDB_READY"

set_qr_codes QA01 QA02 QA03 QA04
close_clamp
wait_cycle_end
expect_lamps "allpass=1 fail=0"
expect_powered "programming" "1# none 2# none 3# none 4#"
# The boards are unplugged once the fixture opens: the last one must not keep its power.
wait_until 5 "all stations powered down after the cycle" power_off
expect_images "after the cycle" "$IDB_PASS $IDB_PASS $IDB_PASS $IDB_PASS"
for n in 1 2 3 4; do
  pane_has_line $RESULT "$n#测试通过" || fail "no [$n#测试通过] in the result pane"
  pane_has_line $RESULT "$n#写入成功" || fail "no [$n#写入成功] in the result pane"
  pane_has_line $PROGRESS "No.$((n - 1))=3" || fail "no [No.$((n - 1))=3] in the progress pane"
done
expect_eq "programming runs left in the plan" 0 "$(plan_left)"
[ ! -e "$RESULT_FILE" ] || fail "the programming result was not deleted after reading"
expect_eq "QR edits emptied for the next boards" "" "$(text_of "$T" $QR1)"

expect_eq "records written" 6 "$(record_count)"
expect_tester_record "$SIM_SCRIPTS/pass.txt"
expect_file "station 1 record" "$(station_record QA01)" '\r\n%s\r\n%s\r\n%s' \
  "1# PASS R1=10.020kOhm range=9.500___10.500" \
  "1# PASS C3=101.500nF range=90.000___110.000" \
  "1# PASS VCC=3.310V range=3.150___3.450"
expect_file "station 4 record" "$(station_record QA04)" '\r\n%s\r\n%s\r\n%s' \
  "4# PASS R1=9.880kOhm range=9.500___10.500" \
  "4# PASS C3=98.700nF range=90.000___110.000" \
  "4# PASS VCC=3.320V range=3.150___3.450"
for n in 2 3; do
  [ -n "$(station_record QA0$n)" ] || fail "no record of station $n"
done
expect_file "programming result record" "$(program_record)" '%s\r\n' \
  "1#QRQA01 写入成功" "2#QRQA02 写入成功" "3#QRQA03 写入成功" "4#QRQA04 写入成功"

# The fixture opens: the controller is ready for the next boards.
open_clamp
echo "all-pass cycle test passed"
