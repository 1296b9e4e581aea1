# Starting and closing the bridges with a stand-in qel_link.exe that records its command
# lines: from a folder whose name holds a blank and a percent sign, the tester bridge first,
# then the control bridge, with the stored ports; closing reaches ports 1 to 99 and the
# configured ports (100 among them), waits for a bridge that takes a few seconds and for a
# bridge's process that outlives its window, and a bridge that will not close is given up
# on and named in the progress pane.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"

dir="$RUN_DIR/qel 100%d"
qel_install "$dir"
calls=$dir/qel_link_calls.log
reg_set port_qel REG_DWORD 3
reg_set port_io REG_DWORD 5
qel_start "$dir"
ui msgbox "Load dll failure!" 30000 >/dev/null || fail "no start-up message"
wait_until 20 "the window to be maximised" is_zoomed
wait_until 20 "both bridges to start" count_is 2 ' started ' "$calls"
expect_eq "launch order" "3 0,5 1" "$(launches "$calls")"
expect_eq "working directory" 2 "$(grep -cF " cwd=$(win_path "$dir")" "$calls")"
for port in 3 5; do
  ui find "qel_link_com$port" 10000 >/dev/null || fail "no bridge window for port $port"
done

# Bridges started by hand: port 99 is the last one closed, 100 is out of reach, the one on
# port 42 ignores the close command and the one on port 43 takes three seconds to close.
bridge() {
  start_win "bridge$1" "$dir/qel_link.exe" "$@"
  ui find "qel_link_com$1" 20000 >/dev/null || fail "no bridge window for port $1"
}
bridge 99 1
bridge 100 1
bridge 42 keep
bridge 43 slow

# Confirming the settings unchanged still closes and restarts the bridges.
open_settings
ui click "$S" 1 || fail "OK"
ui gone "$S" 10000 || fail "the settings dialog did not close"
wait_until 20 "the bridges to start again" count_is 4 ' started args=[35] ' "$calls"
for args in "3 0" "5 1" "99 1" "43 slow"; do
  expect_eq "bridge $args closed once" 1 "$(grep -c " closed args=$args$" "$calls")"
done
expect_no_log "$calls" "closed args=100"
ui find "qel_link_com100" 0 >/dev/null || fail "the bridge on port 100 was closed"
expect_line $PROGRESS "can not close qel_link_com42"
! pane_has_line $PROGRESS "can not close qel_link_com43" || fail "a slow bridge was given up on"
expect_eq "launches after confirming" "3 0,5 1,99 1,100 1,42 keep,43 slow,3 0,5 1" \
  "$(launches "$calls")"

# A bridge whose process outlives its window by three seconds has ended before the new
# bridges start: they would find its port taken.
kill "$(wine_pids 'qel_link.exe 42 keep')"
ui gone "qel_link_com42" 10000 || fail "the bridge on port 42 did not end"
bridge 44 linger
open_settings
ui click "$S" 1 || fail "OK"
wait_until 20 "the lingering bridge to end" grep -q " ended args=44 linger$" "$calls"
wait_until 20 "the bridges to start a third time" count_is 6 ' started args=[35] ' "$calls"
ended=$(sed -n 's/^\([0-9]*\) ended args=44 linger$/\1/p' "$calls")
restarted=$(sed -n 's/^\([0-9]*\) started args=3 0 .*/\1/p' "$calls" | sort -n | tail -n 1)
((restarted > ended)) || fail "a bridge was started while a closed one was still ending"

# Shutdown closes the restarted bridges.
qel_close
expect_eq "bridge 3 0 closed three times" 3 "$(grep -c " closed args=3 0$" "$calls")"
expect_eq "bridge 5 1 closed three times" 3 "$(grep -c " closed args=5 1$" "$calls")"
ui find "qel_link_com100" 0 >/dev/null || fail "shutdown closed the bridge on port 100"

# A control board on port 100: then its bridges are closed too, the one started by hand with it.
reg_set port_io REG_DWORD 100
qel_start "$dir"
ui msgbox "Load dll failure!" 30000 >/dev/null || fail "no start-up message"
wait_until 20 "the bridge of port 100 to start" count_is 2 ' started args=100 1 ' "$calls"
qel_close
expect_eq "bridges of port 100 closed" 2 "$(grep -c " closed args=100 1$" "$calls")"
echo "qel bridges test passed"
