# What a programming run leaves behind is never judged as the next run's.
# - A tool whose child keeps writing a passing result, and which itself hangs: the timeout
#   ends the child with it, so the next station's tool, which writes nothing, fails.
# - A tool that leaves its passing result read-only: the next runs cannot delete it, so
#   whatever it says, they fail, and the progress pane names the file.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"
source "$QEL_SOURCE/tests/e2e/station.sh"

station_up "$SIM_SCRIPTS/pass.txt"
trap 'chmod u+w "$RESULT_FILE" 2>/dev/null; keep_panes $?' EXIT

plan spawn none pass pass
set_qr_codes QL01 QL02 QL03 QL04
close_clamp
wait_until 30 "the child of the first tool to run" eval '[ "$(wine_pids progtool.exe | wc -l)" -ge 2 ]'
wait_cycle_end 90
pane_has_line $PROGRESS "Program timeout!!!" || fail "the spawning tool was not timed out"
wait_until 10 "the tool and its child to be gone" none_running progtool.exe
expect_file "programming result record after a tool with a child" "$(program_record)" '%s\r\n' \
  "1#QRQL01 写入失败" "2#QRQL02 写入失败" "3#QRQL03 写入成功" "4#QRQL04 写入成功"
open_clamp

plan readonly none none none
set_qr_codes QL05 QL06 QL07 QL08
close_clamp
wait_cycle_end 90
expect_file "programming result record after a read-only result" "$(program_record)" '%s\r\n' \
  "1#QRQL05 写入成功" "2#QRQL06 写入失败" "3#QRQL07 写入失败" "4#QRQL08 写入失败"
pane_has_line $PROGRESS "can't delete $(win_path "$RESULT_FILE")" ||
  fail "no progress line names the result file that could not be deleted"
echo "programming leftovers test passed"
