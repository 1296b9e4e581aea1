# The settings dialog and the store: first-run defaults, ports outside 1 to 100 refused with
# the dialog kept open, the command trimmed and the path kept as typed; confirming stores at
# once, restarts the bridges and shows the enables; Cancel changes nothing; a killed
# controller keeps what was confirmed.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"

dir=$RUN_DIR/app
qel_install "$dir"
calls=$dir/qel_link_calls.log
qel_start "$dir"
ui msgbox "Load dll failure!" 30000 >/dev/null || fail "no start-up message"
wait_until 20 "the window to be maximised" is_zoomed
expect_images "first run" "$IDB_READY $IDB_READY $IDB_READY $IDB_READY"

# First run with an empty store: the defaults.
open_settings
expect_eq "tester port" 1 "$(text_of "$S" $PORT_QEL)"
expect_eq "control port" 1 "$(text_of "$S" $PORT_IO)"
expect_eq "command" "" "$(text_of "$S" $PROGRAM_EXECUTE)"
expect_eq "result file" "" "$(text_of "$S" $PROGRAM_RESULT)"
for id in "${CHECKS[@]}"; do
  expect_eq "enable $id" 1 "$(ui checked "$S" "$id" | tr -d '\r')"
done
children=$(probe children "$S")
for label in "-1 Static QEL串行端口" "-1 Static 控制串行端口" "-1 Static 编程执行命令" \
  "-1 Static 编程结果文件" "1012 Button 1#" "1 Button 确定" "2 Button 取消"; do
  grep -qxF -- "$label" <<<"$children" || fail "no control [$label] in the settings dialog"
done

# refused <field> <text> <prompt part>: OK with that text in the field shows the prompt, keeps
# the dialog open and puts the focus back into the field.
refused() {
  ui settext "$S" "$1" "$2" || fail "settext $2"
  ui click "$S" 1 || fail "OK"
  ui msgbox "$3" 10000 >/dev/null || fail "no prompt [$3] for [$2]"
  ui find "$S" 0 >/dev/null || fail "the dialog closed on [$2]"
  wait_until 10 "the focus back in field $1" focus_on "$S" "$1"
}
refused $PORT_QEL 0 "1 和 100"
refused $PORT_QEL 101 "1 和 100"
ui settext "$S" $PORT_QEL 100
refused $PORT_IO x "整数"
refused $PORT_IO 101 "1 和 100"
[ -z "$(reg_value port_qel)" ] || fail "a refused dialog stored something"

# Confirmed: ports 100 and 5, the command with blanks around it, a path with a trailing blank,
# station 2 off.
ui settext "$S" $PORT_IO 5
ui settext "$S" $PROGRAM_EXECUTE "  cmd /c echo hi  "
ui settext "$S" $PROGRAM_RESULT 'C:\result.txt '
ui click "$S" 1013 || fail "clearing 2#"
wait_until 10 "2# to be cleared" check_is "$S" 1013 0
ui click "$S" 1 || fail "OK"
ui gone "$S" 10000 || fail "OK with good values did not close the dialog"
expect_images "after confirming" "$IDB_READY $IDB_DISABLED $IDB_READY $IDB_READY"
# Stored at once, not only at shutdown.
wait_until 10 "port_qel in the store" value_is port_qel "REG_DWORD 0x64"
expect_eq "stored port_io" "REG_DWORD 0x5" "$(reg_value port_io)"
expect_eq "stored command, trimmed" "REG_SZ cmd /c echo hi" "$(reg_value program_execute)"
expect_eq "stored result path, as typed" 'REG_SZ C:\result.txt ' "$(reg_value program_result)"
expect_eq "stored check_stall1" "REG_DWORD 0x0" "$(reg_value check_stall1)"
expect_eq "stored check_stall3" "REG_DWORD 0x1" "$(reg_value check_stall3)"
# The two first bridges closed, the new ones started with the new ports, in order.
wait_until 10 "both first bridges closed" count_is 2 ' closed args=1 [01]$' "$calls"
wait_until 10 "the new bridges" grep -q ' started args=5 1 ' "$calls"
expect_eq "bridge launches" "1 0,1 1,100 0,5 1" "$(launches "$calls")"

# Cancel keeps everything and restarts nothing.
open_settings
expect_eq "command shown" "cmd /c echo hi" "$(text_of "$S" $PROGRAM_EXECUTE)"
expect_eq "2# shown" 0 "$(ui checked "$S" 1013 | tr -d '\r')"
ui settext "$S" $PORT_QEL 7
probe key "$S" 0x1B || fail "Escape"
ui gone "$S" 10000 || fail "Escape did not close the settings dialog"
ui find "$T" 0 >/dev/null || fail "Escape in the settings dialog closed the program"
expect_eq "port after cancel" "REG_DWORD 0x64" "$(reg_value port_qel)"
expect_eq "launches after cancel" 4 "$(grep -c ' started ' "$calls")"

# A killed controller has no shutdown; the confirmed settings are still there next time.
kill -KILL "$QEL_PID"
ui gone "$T" 20000 || fail "the killed controller's window stayed"
qel_start "$dir"
ui msgbox "Load dll failure!" 30000 >/dev/null || fail "no start-up message after the kill"
wait_until 20 "the window to be maximised again" is_zoomed
expect_images "after the restart" "$IDB_READY $IDB_DISABLED $IDB_READY $IDB_READY"
wait_until 10 "the restarted controller's bridges" count_is 6 ' started ' "$calls"
expect_eq "bridge launches after the restart" "1 0,1 1,100 0,5 1,100 0,5 1" "$(launches "$calls")"
qel_close
echo "qel settings test passed"
