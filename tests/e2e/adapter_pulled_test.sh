# The control board's USB adapter is pulled out for five seconds while the bridge polls,
# then plugged back in: the bridge reports the silence and shows the lost port, opens it
# again by itself, and the next cycle passes with no restart and no operator action.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"
source "$QEL_SOURCE/tests/e2e/station.sh"

station_up "$SIM_SCRIPTS/pass.txt"

status_is() { [ "$(ui gettext "qel_link_com$1" 1004)" = "$2" ]; }
pull_board
wait_until 10 "the bridge to show the lost port" status_is $BOARD_PORT "COM$BOARD_PORT lost, retrying"
expect_line $PROGRESS paralyzed
# The adapter stays out this long: the outage itself, not a wait for anything.
sleep 5
plug_board
wait_until 10 "the bridge to open the port again" port_open $BOARD_PORT

set_qr_codes QH01 QH02 QH03 QH04
close_clamp
wait_cycle_end
expect_lamps "allpass=1 fail=0"
expect_powered "programming" "1# none 2# none 3# none 4#"
expect_file "programming result record" "$(program_record)" '%s\r\n' "1#QRQH01 写入成功" \
  "2#QRQH02 写入成功" "3#QRQH03 写入成功" "4#QRQH04 写入成功"
echo "adapter pulled test passed"
