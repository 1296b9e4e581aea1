# The programming tool hangs on station 1: the controller kills it on the tenth tick of its
# one-second timer, goes on with the other stations, shows station 1 as passed the tester
# but not programmed, and lights the fail lamp.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"
source "$QEL_SOURCE/tests/e2e/station.sh"

station_up "$SIM_SCRIPTS/pass.txt"
plan hang pass pass pass

set_qr_codes QD01 QD02 QD03 QD04
close_clamp
wait_until 30 "the programming tool to be started" plan_shorter_than 4
wait_until 10 "the hanging tool to run" some_running progtool.exe
wait_cycle_end 90
expect_lamps "allpass=0 fail=1"
expect_powered "programming" "1# none 2# none 3# none 4#"
expect_images "after the cycle" "$IDB_TEST_PASS $IDB_PASS $IDB_PASS $IDB_PASS"
for line in "Program timeout!!!" "Force shutdown...." "Closed"; do
  pane_has_line $PROGRESS "$line" || fail "no [$line] in the progress pane"
done
pane_has_line $RESULT "1#写入失败" || fail "no [1#写入失败] in the result pane"
wait_until 10 "the killed tool's process to be gone" none_running progtool.exe

# The first tick comes within a second of the start, so the tenth finds the tool running for
# at least nine seconds: station 1 had its power that long.
on=$(grep -m1 'on=1#$' "$BOARD_LOG" | cut -d' ' -f1)
off=$(grep -A1 'on=1#$' "$BOARD_LOG" | tail -n 1 | cut -d' ' -f1)
held=$(($(date -d "$off" +%s%3N) - $(date -d "$on" +%s%3N)))
((held >= 9000)) || fail "the tool was killed after $held ms, before its tenth tick"

expect_file "programming result record" "$(program_record)" '%s\r\n' "1#QRQD01 写入失败" \
  "2#QRQD02 写入成功" "3#QRQD03 写入成功" "4#QRQD04 写入成功"
echo "hanging programming tool test passed"
