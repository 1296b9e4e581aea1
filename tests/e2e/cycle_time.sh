# Where the time of a cycle goes, read from the bus and the tester's log as they are written
# (the cycle benchmark and the soak run). Sourced after station.sh; cycle_time_start needs a
# bus monitor peer named "monitor" (start_peer monitor <title> 0x200 monitor).

# stamp <log> <stamped log>: each line of the log as it is written, after the time it was
# seen in seconds.
stamp() {
  : >"$2"
  tail -n +1 -F "$1" 2>/dev/null | while IFS= read -r line; do
    printf '%s %s\n' "$EPOCHREALTIME" "$line"
  done >"$2" &
}

BUS_STAMPED=$RUN_DIR/bus.stamped
TESTER_STAMPED=$RUN_DIR/tester.stamped
cycle_time_start() {
  stamp "$RUN_DIR/monitor.peer" "$BUS_STAMPED"
  stamp "$TESTER_LOG" "$TESTER_STAMPED"
}

# cycle_mark: where the stamped logs stand now, to pass to cycle_time.
cycle_mark() { echo "$(wc -l <"$BUS_STAMPED") $(wc -l <"$TESTER_STAMPED")"; }

# saved_at <record>: when the record was written, in seconds.
saved_at() { find "$1" -printf '%T@'; }

# cycle_time rest <mark>: the rest of the cycle after the mark in ms: the time from the first
# "squeezed" to the first "powering_up" that is neither a prescribed wait nor the tester's
# run. Any cycle that powers a station has it.
# cycle_time report <mark> <tester record> <last station record>: the whole breakdown of an
# all-pass cycle, up to "status_allpass".
cycle_time() {
  local mode=$1 bus_from tester_from
  read -r bus_from tester_from <<<"$2"
  awk -v mode="$mode" -v bus_from="$bus_from" -v tester_from="$tester_from" \
    -v tester_saved="${3:+$(saved_at "$3")}" -v stations_saved="${4:+$(saved_at "$4")}" '
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
      if (!squeezed || !qel_start || !started || !done || !qel_end || !ups ||
          (mode == "report" && (!allpass || ups != 4 || powereds != 4))) {
        print "  incomplete cycle: not every event was seen"
        exit 1
      }
      rest = (qel_start - squeezed - 0.5) + (started - qel_start - 1.0) + (qel_end - done) + \
             (up[1] - qel_end)
      if (mode == "rest") {
        printf "%.0f\n", rest * 1000
        exit 0
      }
      for (i = 1; i <= 4; i++) {
        power += powered[i] - up[i]
        program += (i < 4 ? up[i + 1] : allpass) - powered[i]
      }
      total = allpass - squeezed
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
    }' "$BUS_STAMPED" "$TESTER_STAMPED"
}

# cycle_posted <n>: the stamped bus log holds the end of n cycles (the lamp keyword the
# controller posts last).
cycle_posted() { more_than "$BUS_STAMPED" 'DATA=status_\(allpass\|fail\) ' $(($1 - 1)); }
