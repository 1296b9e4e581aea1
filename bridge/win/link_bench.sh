# Tester log through qel_link at the full line rate: the tester simulator streams about
# 1 MB of lines (115200 baud, 8N2) over a pseudo-terminal to a mode-0 bridge, which posts
# them to a bus client. Prints bytes sent, lines received, bytes lost, and the CPU time per
# MB of the bridge (and of the wineserver serving it) against the simulator's own. The
# run takes longer than the bridge's 20-tick watch, so "qel_paralyzed" comes too; it is
# not a tester line and is not counted.
# Run through tests/wine/run, as scripts/bench does.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/com_lib.sh"
source "$QEL_SOURCE/tests/wine/bridge_lib.sh"
need_sim sim_tester

script=$RUN_DIR/megabyte.txt
for i in $(seq 1 17200); do
  printf '{show:%d/R%d_%d/open/10.%02d/10.50/9.50/a/kOhm/b} step %05d\n' \
    "$i" $((i % 97)) $((i % 4 + 1)) $((i % 100)) "$i"
done >"$script"
echo '{clear//}' >>"$script"

pty_pair "$RUN_DIR/pty"
map_com 3 "$RUN_DIR/pty/a"
start_sim tester "$RUN_DIR/pty/b" "$script"
start_controller
start_bridge 3 0
wait_until 10 "the status line to show the open port" status_counts qel_link_com3

# cpu_ticks <pid>: user plus system time of the process, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# prefix_server: the wineserver of this prefix, the one whose folder is named after it.
prefix_server() {
  local name pid
  name=$(printf 'server-%s-%x' "$(stat -c %D "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
  for pid in $(pgrep wineserver); do
    [[ "$(readlink "/proc/$pid/cwd")" == */"$name" ]] && echo "$pid" && return 0
  done
  return 1
}
server=$(prefix_server) || fail "no wineserver for $WINEPREFIX"
bridge_before=$(cpu_ticks "$BRIDGE_PID")
server_before=$(cpu_ticks "$server")
sim_before=$(cpu_ticks "$SIM_PID")
at=$(mark "$CONTROLLER")
started=$SECONDS
post_keyword qel_start
wait_until 300 "the tester to finish the log" grep -q ' done ' "$RUN_DIR/tester.log"
expect_after "$CONTROLLER" "$at" "$(keyword_line qel_end)" 60
took=$((SECONDS - started))
bridge_ticks=$(($(cpu_ticks "$BRIDGE_PID") - bridge_before))
server_ticks=$(($(cpu_ticks "$server") - server_before))
sim_ticks=$(($(cpu_ticks "$SIM_PID") - sim_before))

sent=$(sed -n 's/.* done [0-9]* lines \([0-9]*\) bytes$/\1/p' "$RUN_DIR/tester.log")
read -r lines received < <(tail -n +$((at + 1)) "$CONTROLLER" |
  awk '/^recv TYPE=100002FF / && !/ DATA=qel_(end|paralyzed) ZERO=1$/ {
         n++; sub(/^recv TYPE=100002FF LEN=/, ""); bytes += $1 + 2 }
       END { print n + 0, bytes + 0 }')
hz=$(getconf CLK_TCK)
awk -v sent="$sent" -v lines="$lines" -v received="$received" -v took="$took" \
  -v bridge="$bridge_ticks" -v server="$server_ticks" -v sim="$sim_ticks" -v hz="$hz" '
  BEGIN {
    mb = sent / 1048576
    printf "bytes sent            %d (%.2f MB in %d s, %.0f bytes/s)\n", sent, mb, took, sent / took
    printf "lines received        %d\n", lines
    printf "bytes lost            %d\n", sent - received
    per = 1000 / hz / mb
    printf "cpu ms per MB         bridge %.0f, wineserver %.0f, simulator %.0f\n",
           bridge * per, server * per, sim * per
    if (sim > 0) {
      printf "ratio to simulator    bridge %.1f, bridge + wineserver %.1f\n",
             bridge / sim, (bridge + server) / sim
    } else {
      print "ratio to simulator    (simulator used less than one clock tick)"
    }
  }'
