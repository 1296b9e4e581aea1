# A control-board bridge polls while the bus carries other clients' traffic, a page of it
# for each of the bridge's ticks, as a station's cycles move the bus on: its resident
# memory stays flat.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/com_lib.sh"
source "$QEL_SOURCE/tests/wine/bridge_lib.sh"
need_sim sim_control_board

pty_pair "$RUN_DIR/pty"
map_com 5 "$RUN_DIR/pty/a"
start_sim control_board "$RUN_DIR/pty/b"
start_controller
start_bridge 5 1
wait_until 10 "the status line to show the open port" status_counts qel_link_com5

pid=$(wine_pids 'qel_link.exe 5 1')
[[ "$pid" =~ ^[0-9]+$ ]] || fail "not one bridge process: [$pid]"
rss() { awk '$1 == "VmRSS:" { print $2 }' "/proc/$pid/status"; }
polls() { grep -c 'DATA=slack' "$CONTROLLER"; }

# ticks <n>: n of the bridge's ticks, each after a 4 KiB post of another client.
ticks() {
  local i seen
  for ((i = 0; i < $1; i++)); do
    seen=$(polls)
    peer ctl big 0x10000400 4096
    wait_until 5 "the bridge's next poll" more_than_polls "$seen"
  done
}
more_than_polls() { [ "$(polls)" -gt "$1" ]; }

ticks 20
before=$(rss)
ticks 120
after=$(rss)
growth=$((after - before))
echo "bridge VmRSS ${before} kB -> ${after} kB (${growth} kB)"
((growth < 64)) || fail "the bridge grew by ${growth} kB"
echo "bridge memory test passed"
