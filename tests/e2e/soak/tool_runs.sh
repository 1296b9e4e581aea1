# What the programming tool really did in a soak cycle, read from its run log
# ($PROGTOOL_LOG, see tools/progtool/run_log_line.h), and so how each station must be
# recorded. Needs the stamped bus log (cycle_time.sh), MODES[1..4] (choices.sh) and problem
# (records.sh).

OUTCOME=()
TOOL_RUNS=0 TIMEOUTS=0 UNPLANNED_TIMEOUTS=0 NOT_STARTED=0 TOOL_FAULTS=0

# tool_mark: how many lines the run log has now.
tool_mark() { if [ -f "$PROGTOOL_LOG" ]; then wc -l <"$PROGTOOL_LOG"; else echo 0; fi; }

# tool_runs <mark> [bus mark]: the runs that started after the mark, one a line in the order
# they started: the station it ran for, pid, mode taken, what it wrote, exit code (each "-"
# when not logged), seconds from its creation to its start line and to its end line ("-"
# for a run that never ended). A run is for the station of the last "powering_up" on the bus
# (after the bus mark) before the process was created; "-" without a bus mark or before any.
# Wine hands a dead process's id to a new one, so a line belongs to the latest start of its
# pid.
tool_runs() {
  {
    [ -n "${2:-}" ] && tail -n "+$(($2 + 1))" "$BUS_STAMPED" |
      sed -n 's/^\([0-9.]*\) recv TYPE=200002FF .*DATA=powering_up_\([0-3]\) .*/up \1 \2/p'
    tail -n "+$(($1 + 1))" "$PROGTOOL_LOG" 2>/dev/null
  } | awk '
    $1 == "up" { up_at[++ups] = $2; up_station[ups] = $3 + 1; next }
    {
      delete f
      for (i = 2; i <= NF; i++) { split($i, kv, "="); f[kv[1]] = kv[2] }
      pid = f["pid"]
    }
    $1 == "start" {
      run[pid] = ++n
      id[n] = pid; mode[n] = wrote[n] = code[n] = ended[n] = "-"
      created[n] = f["created"]; started[n] = f["at"]
    }
    $1 == "took" && pid in run { mode[run[pid]] = f["mode"] }
    $1 == "end" && pid in run {
      r = run[pid]; wrote[r] = f["wrote"]; code[r] = f["exit"]; ended[r] = f["at"]
      delete run[pid]
    }
    END {
      for (r = 1; r <= n; r++) {
        station = "-"
        for (u = 1; u <= ups; u++) if (up_at[u] <= created[r]) station = up_station[u]
        printf "%s %s %s %s %s %.3f %s\n", station, id[r], mode[r], wrote[r], code[r],
               started[r] - created[r],
               ended[r] == "-" ? "-" : sprintf("%.3f", ended[r] - created[r])
      }
    }'
}

# check_tool_runs <mark> <bus mark>: the cycle's runs against the programmed stations; sets
# OUTCOME[1..4] to programmed (its run wrote "ok" and ended with 0), failed (anything else:
# a run killed at the time limit, or no run at all) or untried. A station the tool never
# started for is failed rightly; the plan line it did not take went to the next station's
# run, so the plan is left with one line for each.
check_tool_runs() {
  local runs=() n run station pid mode wrote code start took count missed=0 left
  mapfile -t runs < <(tool_runs "$1" "$2")
  TOOL_RUNS=$((TOOL_RUNS + ${#runs[@]}))
  CYCLE_RUNS=$(printf '    %s\n' "${runs[@]}")
  for run in "${runs[@]}"; do
    read -r station _ <<<"$run"
    [[ "$station" =~ ^[1-4]$ && "${MODES[station]}" != - ]] ||
      problem "a tool run for station $station, which was not to be programmed: $run"
  done
  for n in 1 2 3 4; do
    OUTCOME[n]=untried
    [ "${MODES[n]}" = - ] && continue
    OUTCOME[n]=failed
    count=0
    for run in "${runs[@]}"; do
      read -r station pid mode wrote code start took <<<"$run"
      [ "$station" = "$n" ] || continue
      count=$((count + 1))
      [[ "$wrote" = ok && "$code" = 0 ]] && OUTCOME[n]=programmed
      if [ "$took" = - ]; then
        TIMEOUTS=$((TIMEOUTS + 1))
        if [ "$mode" != hang ]; then
          UNPLANNED_TIMEOUTS=$((UNPLANNED_TIMEOUTS + 1))
          echo "cycle $cycle: station $n: its $mode run was killed unfinished: $run" >>"$PROBLEMS"
        fi
      fi
    done
    if ((count == 0)); then
      missed=$((missed + 1))
      echo "cycle $cycle: station $n: the tool never started" >>"$PROBLEMS"
    elif ((count > 1)); then
      problem "$count tool starts for station $n"
      TOOL_FAULTS=$((TOOL_FAULTS + 1))
    fi
  done
  NOT_STARTED=$((NOT_STARTED + missed))
  left=$(plan_left)
  if ((left != missed)); then
    problem "the tool left $left of the plan's lines unused, with $missed stations not started"
    TOOL_FAULTS=$((TOOL_FAULTS + 1))
  fi
}

# tool_figures: every run's time from its creation to its start line and to its end.
tool_figures() {
  tool_runs 0 | awk '
    { start += $6; if ($6 > max_start) max_start = $6
      if ($7 != "-") { ended++; took += $7; if ($7 > max_took) max_took = $7 } }
    END {
      if (NR == 0) { print "no runs"; exit }
      printf "creation to start mean %.2f s, max %.2f s; to end (%d ended) mean %.2f s, max %.2f s",
             start / NR, max_start, ended, ended ? took / ended : 0, max_took
    }'
}
