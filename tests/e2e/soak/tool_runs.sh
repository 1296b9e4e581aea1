# What the programming tool really did in a soak cycle, read from its run log
# ($PROGTOOL_LOG, see tools/progtool/run_log_line.h), and so how each station must be
# recorded. Needs MODES[1..4] (choices.sh) and problem (records.sh).

OUTCOME=()
TOOL_RUNS=0 TIMEOUTS=0 UNPLANNED_TIMEOUTS=0 TOOL_FAULTS=0

# tool_mark: how many lines the run log has now.
tool_mark() { if [ -f "$PROGTOOL_LOG" ]; then wc -l <"$PROGTOOL_LOG"; else echo 0; fi; }

# tool_runs <mark>: the runs that started after the mark, one a line in the order they
# started: pid, mode taken, what it wrote, exit code (each "-" when not logged), seconds
# from its creation to its start line and to its end line ("-" for a run that never ended).
# Wine hands a dead process's id to a new one, so a line belongs to the latest start of its
# pid.
tool_runs() {
  tail -n "+$(($1 + 1))" "$PROGTOOL_LOG" 2>/dev/null | awk '
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
      for (r = 1; r <= n; r++)
        printf "%s %s %s %s %.3f %s\n", id[r], mode[r], wrote[r], code[r],
               started[r] - created[r],
               ended[r] == "-" ? "-" : sprintf("%.3f", ended[r] - created[r])
    }'
}

# check_tool_runs <mark>: the cycle's runs against the plan, one start per programmed station
# in station order; sets OUTCOME[1..4] to programmed (the run wrote "ok" and ended with 0),
# failed (anything else, a run killed at the time limit too) or untried.
check_tool_runs() {
  local runs=() programmed=() n i=0 pid mode wrote code start took left
  mapfile -t runs < <(tool_runs "$1")
  for n in 1 2 3 4; do
    OUTCOME[$n]=untried
    [ "${MODES[n]}" != - ] && programmed+=("$n")
  done
  TOOL_RUNS=$((TOOL_RUNS + ${#runs[@]}))
  CYCLE_RUNS=$(printf '    %s\n' "${runs[@]}")
  if ((${#runs[@]} != ${#programmed[@]})); then
    problem "${#runs[@]} tool starts for ${#programmed[@]} programmed stations"
    TOOL_FAULTS=$((TOOL_FAULTS + 1))
  fi
  left=$(plan_left)
  if ((left != 0)); then
    problem "the tool left $left of the plan's lines unused"
    TOOL_FAULTS=$((TOOL_FAULTS + 1))
  fi
  for n in "${programmed[@]}"; do
    read -r pid mode wrote code start took <<<"${runs[i]:-- - - - - -}"
    i=$((i + 1))
    OUTCOME[$n]=failed
    [[ "$wrote" = ok && "$code" = 0 ]] && OUTCOME[$n]=programmed
    [ "$mode" = "${MODES[n]}" ] || problem "station $n: the tool took mode $mode, not ${MODES[n]}"
    if [[ "$pid" != - && "$took" = - ]]; then
      TIMEOUTS=$((TIMEOUTS + 1))
      if [ "${MODES[n]}" != hang ]; then
        UNPLANNED_TIMEOUTS=$((UNPLANNED_TIMEOUTS + 1))
        echo "cycle $cycle: station $n: the $mode run was killed unfinished (started ${start}s after its creation)" >>"$PROBLEMS"
      fi
    fi
  done
}

# tool_figures: every run's time from its creation to its start line and to its end.
tool_figures() {
  tool_runs 0 | awk '
    { start += $5; if ($5 > max_start) max_start = $5
      if ($6 != "-") { ended++; took += $6; if ($6 > max_took) max_took = $6 } }
    END {
      if (NR == 0) { print "no runs"; exit }
      printf "creation to start mean %.2f s, max %.2f s; to end (%d ended) mean %.2f s, max %.2f s",
             start / NR, max_start, ended, ended ? took / ended : 0, max_took
    }'
}
