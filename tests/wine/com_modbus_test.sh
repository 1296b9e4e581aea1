# The serial channel at 19200 8N2 against the control-board simulator (libmodbus) on a
# real pseudo-terminal: the bridge's request frames are answered, the clamp input shows in
# the poll reply, a power write reaches the board, and a silent board answers nothing.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/com_lib.sh"
need_sim sim_control_board

pty_pair "$RUN_DIR/pty"
map_com 5 "$RUN_DIR/pty/a"
start_sim control_board "$RUN_DIR/pty/b"
board=$RUN_DIR/control_board.log
poll='\x01\x03\x00\x12\x00\x01\x24\x0F'

probe slack 5 19200 "$poll" 7 10000 || fail "poll: $(probe_says slack)"
expect_eq "poll reply, clamp open" "01 03 02 00 00 B8 44" "$(hex_of "$RUN_DIR/slack.bin")"
check_closed slack

sim_command clamp 1
wait_until 10 "the board to close its clamp" grep -q 'unit=1 value=0x0010 clamp=1' "$board"
probe squeezed 5 19200 "$poll" 7 10000 || fail "poll: $(probe_says squeezed)"
expect_eq "poll reply, clamp closed" "01 03 02 00 10 B9 88" "$(hex_of "$RUN_DIR/squeezed.bin")"

probe power 5 19200 '\x02\x06\x00\x12\x00\x40\x28\x0C' 8 10000 || fail "power: $(probe_says power)"
expect_eq "power echo" "02 06 00 12 00 40 28 0C" "$(hex_of "$RUN_DIR/power.bin")"
wait_until 10 "station 3 to be powered" grep -q 'unit=2 value=0x0040 on=3#' "$board"

# A request with a broken CRC is refused by the board, and no reply comes.
probe broken 5 19200 '\x01\x03\x00\x12\x00\x01\x24\x0E' 1 1000 &&
  fail "the board answered a broken frame: $(hex_of "$RUN_DIR/broken.bin")"
wait_until 10 "the board to reject the frame" grep -q 'rejected' "$board"
check_closed broken

sim_command silent 1
wait_until 10 "the board to go silent" grep -q 'silent=1' "$board"
probe silent 5 19200 "$poll" 1 1000 && fail "a silent board answered: $(hex_of "$RUN_DIR/silent.bin")"
expect_eq "bytes from a silent board" 0 "$(stat -c %s "$RUN_DIR/silent.bin")"
echo "com modbus test passed"
