# END_SESSION from the probe reaches a real qel_link: the bridge leaves the bus and frees
# its serial port, while the probe stays registered.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/com_lib.sh"
source "$QEL_SOURCE/tests/wine/bridge_lib.sh"
source "$QEL_SOURCE/tests/wine/chanprobe_lib.sh"
need_sim sim_control_board

pty_pair "$RUN_DIR/pty"
map_com 5 "$RUN_DIR/pty/a"
start_sim control_board "$RUN_DIR/pty/b"
start_bridge 5 1
wait_until 10 "the bridge to open its port" status_counts qel_link_com5

start_win chanprobe "$QEL_BIN/chanprobe.exe"
wait_until 30 "the probe to show the library version" has_bound_title
T=$(bound_title)
PROBE=$(list_handle "$T")
wait_until 10 "the bridge in the probe's client list" box_has "$T" 1037 " qel_link 0x"

ui click "$T" 1053
# The list the probe shows after END_SESSION comes from the library, so a refresh shows
# whether the bridge really left.
refreshed_without_bridge() {
  ui click "$T" 1039
  box_lacks "$T" 1037 " qel_link "
}
wait_until 10 "the bridge to leave the bus" refreshed_without_bridge
box_has "$T" 1037 "$PROBE test " || fail "the probe left the bus: $(text_of "$T" 1037)"
wait_until 10 "the bridge to free COM5" \
  probe after_end 5 19200 '\x01\x03\x00\x12\x00\x01\x24\x0F' 7 2000
ui find qel_link_com5 >/dev/null || fail "the bridge window went away on a session end"
echo "chanprobe end-session passed"
