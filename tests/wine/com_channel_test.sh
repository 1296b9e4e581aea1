# The serial channel against a real pseudo-terminal with the tester simulator on the far
# end: every byte of a burst arrives in order, in chunks of at most 80, lines split across
# writes arrive whole, close_port has joined the reader when it returns, and a reader that
# never ends cannot hold close_port for long.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/com_lib.sh"
need_sim sim_tester

pty_pair "$RUN_DIR/pty"
map_com 4 "$RUN_DIR/pty/a"

# About 9 KB at the full line rate, far more than one read and than the driver queue.
burst=$RUN_DIR/burst.txt
for i in $(seq 1 150); do
  printf '{show:%d/R%d_%d/open/1.00/1.10/0.90/a/kOhm/b} step %03d ........\n' \
    "$i" "$i" $((i % 4 + 1)) "$i"
done >"$burst"
echo '{clear//}' >>"$burst"

start_sim tester "$RUN_DIR/pty/b" "$burst"
probe burst 4 115200 'cmdst()\r' "$(expected_of burst "$burst")" 30000 || fail "burst: $(probe_says burst)"
cmp "$RUN_DIR/burst.expected" "$RUN_DIR/burst.bin" || fail "the burst arrived changed"
check_chunks burst
check_closed burst
expect_eq "start commands seen by the tester" 1 "$(grep -c ' start$' "$RUN_DIR/tester.log")"
stop_sim tester

# Lines written in 7-byte pieces with pauses between them, at a slower pace.
start_sim tester "$RUN_DIR/pty/b" "$QEL_SOURCE/sim/scripts/pass.txt" --split 7 --cps 3000
probe split 4 115200 'cmdst()\r' "$(expected_of split "$QEL_SOURCE/sim/scripts/pass.txt")" 30000 ||
  fail "split: $(probe_says split)"
cmp "$RUN_DIR/split.expected" "$RUN_DIR/split.bin" || fail "the split lines arrived changed"
check_chunks split
check_closed split

# Closing while the tester is still sending, then opening again: the port is released and
# every start command restarts the script.
probe early 4 115200 'cmdst()\r' 200 30000 || fail "early: $(probe_says early)"
check_closed early
probe again 4 115200 'cmdst()\r' 200 30000 || fail "reopen: $(probe_says again)"
check_closed again
expect_eq "start commands seen by the tester" 3 "$(grep -c ' start$' "$RUN_DIR/tester.log")"

# A reader that never comes back, as one in a driver that never completes a cancel, holds
# close_port up for a bounded time only; it is left running.
probe hang 4 115200 'cmdst()\r' 200 30000 hang || fail "hang: $(probe_says hang)"
grep -qE '^closed in [0-9]{1,4} ms, reader still running$' "$RUN_DIR/hang.log" ||
  fail "hang: $(probe_says hang)"
echo "com channel test passed"
