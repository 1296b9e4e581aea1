# The control board's USB adapter is pulled out for five seconds while a station's power-up
# waits its turn, then plugged back in: the bridge reports the silence and shows the lost
# port, answers "powering_down" meanwhile with the closed port, opens the port again by
# itself without powering the station, and the next cycle passes with no restart and no
# operator action.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"
source "$QEL_SOURCE/tests/wine/bridge_lib.sh"
source "$QEL_SOURCE/tests/e2e/station.sh"

station_up "$SIM_SCRIPTS/pass.txt"
start_line_peer
expect_log "$LINE_PEER" "$(keyword_line slack)"

# The bridge is held while the keyword reaches it and the adapter goes, so that the power-up
# is still waiting when the bridge finds its port gone, however slow the machine.
bridge=$(wine_pids "qel_link.exe $BOARD_PORT 1")
[[ "$bridge" =~ ^[0-9]+$ ]] || fail "not one control bridge: [$bridge]"
BOARD_MARK=$(wc -l <"$BOARD_LOG")
kill -STOP "$bridge"
as_controller powering_up_2
peer_sync line
pull_board
kill -CONT "$bridge"

status_is() { [ "$(ui gettext "qel_link_com$1" 1004)" = "$2" ]; }
wait_until 10 "the bridge to show the lost port" status_is $BOARD_PORT "COM$BOARD_PORT lost, retrying"
expect_line $PROGRESS paralyzed
as_controller powering_down
expect_log "$LINE_PEER" "$(keyword_line "Port closed $BOARD_PORT")"
# The adapter stays out this long: the outage itself, not a wait for anything.
sleep 5
plug_board
wait_until 10 "the bridge to open the port again" port_open $BOARD_PORT
sent=$(frames_sent $BOARD_PORT)
wait_until 10 "eight more frames to the board" frames_sent_above $BOARD_PORT $((sent + 7))
# The new simulator shows its register at start ("none"); no station is powered after it.
history=$(power_history)
[[ "$history" != *#* ]] || fail "a station was powered after the reopen: [$history]"

set_qr_codes QH01 QH02 QH03 QH04
close_clamp
wait_cycle_end
expect_lamps "allpass=1 fail=0"
expect_powered "programming" "1# none 2# none 3# none 4#"
expect_file "programming result record" "$(program_record)" '%s\r\n' "1#QRQH01 写入成功" \
  "2#QRQH02 写入成功" "3#QRQH03 写入成功" "4#QRQH04 写入成功"
echo "adapter pulled test passed"
