# Where the time of a normal cycle goes, from the first "squeezed" to "status_allpass":
# the waits the station prescribes, the time of the devices and the programming tool, and
# the rest, which is the station's own work and transport. Runs under tests/wine/run;
# CYCLES (default 3) sets how many cycles are measured.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"
source "$QEL_SOURCE/tests/e2e/station.sh"

cycles=${CYCLES:-3}
station_install
station_settings
start_devices "$SIM_SCRIPTS/pass.txt"
start_station
start_peer monitor "cycle monitor" 0x200 monitor

# stamp <log> <stamped log>: each line of the log as it is written, after the time it was
# seen in seconds.
stamp() {
  tail -n +1 -F "$1" 2>/dev/null | while IFS= read -r line; do
    printf '%s %s\n' "$EPOCHREALTIME" "$line"
  done >"$2" &
}
stamp "$RUN_DIR/monitor.peer" "$RUN_DIR/bus.stamped"
stamp "$TESTER_LOG" "$RUN_DIR/tester.stamped"

# saved_at <record>: when the record was written, in seconds.
saved_at() { find "$1" -printf '%T@'; }

# report <bus lines from> <tester lines from> <tester record> <last station record>: the
# figures of the cycle after those lines.
report() {
  awk -v bus_from="$1" -v tester_from="$2" -v tester_saved="$(saved_at "$3")" \
    -v stations_saved="$(saved_at "$4")" '
    FNR == 1 { file++ }
    file == 1 && FNR > bus_from {
      t = $1
      if ($0 ~ /TYPE=100002FF .*DATA=squeezed / && !squeezed) squeezed = t
      else if ($0 ~ /DATA=qel_start /) qel_start = t
      else if ($0 ~ /DATA=qel_end /) qel_end = t
      else if ($0 ~ /DATA=powering_up_[0-3] /) up[++ups] = t
      else if ($0 ~ /TYPE=100002FF .*DATA=powered /) powered[++powereds] = t
      else if ($0 ~ /DATA=status_allpass /) allpass = t
    }
    file == 2 && FNR > tester_from {
      if ($3 == "start") started = $1
      else if ($3 == "done") done = $1
    }
    function ms(seconds) { return sprintf("%7.0f", seconds * 1000) }
    END {
      if (!squeezed || !qel_start || !started || !done || !qel_end || !allpass || ups != 4 ||
          powereds != 4) {
        print "  incomplete cycle: not every event was seen"
        exit 1
      }
      for (i = 1; i <= 4; i++) {
        power += powered[i] - up[i]
        program += (i < 4 ? up[i + 1] : allpass) - powered[i]
      }
      total = allpass - squeezed
      rest = (qel_start - squeezed - 0.5) + (started - qel_start - 1.0) + (qel_end - done) + \
             (up[1] - qel_end)
      print "  first squeezed to status_allpass     " ms(total) " ms"
      print "  prescribed waits"
      print "    pause before qel_start (500 ms)    " ms(0.5)
      print "    delay of the start command (1 s)   " ms(1.0)
      print "    power-up ticks, 4 stations         " ms(power)
      print "  devices and tool"
      print "    tester run (script and line rate)  " ms(done - started)
      print "    programming, seen at 1 s ticks     " ms(program)
      print "  rest (target under 100 ms)           " ms(rest) (rest < 0.1 ? "  met" : "  not met")
      print "    test start beyond its 500 ms       " ms(qel_start - squeezed - 0.5)
      print "    start command beyond its 1 s       " ms(started - qel_start - 1.0)
      print "    tester end to qel_end              " ms(qel_end - done)
      print "    qel_end to first powering_up       " ms(up[1] - qel_end)
      print "      to the tester record written     " ms(tester_saved - qel_end)
      print "      station records written          " ms(stations_saved - tester_saved)
      print "      judgement shown, powering_up     " ms(up[1] - stations_saved)
      printf "  rest / total                         %7.2f %%\n", 100 * rest / total
    }' "$RUN_DIR/bus.stamped" "$RUN_DIR/tester.stamped"
}

for ((cycle = 1; cycle <= cycles; cycle++)); do
  plan pass pass pass pass
  set_qr_codes "QT${cycle}1" "QT${cycle}2" "QT${cycle}3" "QT${cycle}4"
  bus_from=$(wc -l <"$RUN_DIR/bus.stamped")
  tester_from=$(wc -l <"$RUN_DIR/tester.stamped")
  close_clamp
  wait_cycle_end
  lamps_are "allpass=1 fail=0" || fail "cycle $cycle did not end in all-pass: $(lamps)"
  # The monitor has the last post once the lamp is lit; wait for its stamped line.
  wait_until 10 "the stamped status_allpass" more_than "$RUN_DIR/bus.stamped" 'DATA=status_allpass ' \
    $((cycle - 1))
  echo "cycle $cycle"
  report "$bus_from" "$tester_from" "$(tester_record)" "$(station_record "QT${cycle}4")" || fail "cycle $cycle: events missing in $RUN_DIR/bus.stamped"
  open_clamp
done
