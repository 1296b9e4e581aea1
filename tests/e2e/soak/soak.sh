# A long run of the whole station under Wine (scripts/soak; tests/wine/run runs it). Each
# cycle mixes, from a seeded sequence, a failing measurement, the programming tool's outcome
# per station, and line faults of the tester and the control board that the station gets
# over by itself; afterwards its records must be exactly what those call for. Memory and GUI
# objects of qel.exe and both qel_link.exe are sampled after the warm-up and at the end, and
# the cycle's own time beyond the prescribed waits is measured.
# SOAK_CYCLES (default 200) and SOAK_SEED (default: a new one) set the run.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"
source "$QEL_SOURCE/tests/e2e/station.sh"
source "$QEL_SOURCE/tests/e2e/cycle_time.sh"
source "$QEL_SOURCE/tests/e2e/soak/choices.sh"
source "$QEL_SOURCE/tests/e2e/soak/records.sh"
source "$QEL_SOURCE/tests/e2e/soak/tool_runs.sh"
source "$QEL_SOURCE/tests/e2e/soak/figures.sh"

cycles=${SOAK_CYCLES:-200}
seed=${SOAK_SEED:-$(($(od -An -N4 -tu4 /dev/urandom) % 1000000))}
[[ "$cycles" =~ ^[1-9][0-9]*$ && "$seed" =~ ^[0-9]{1,9}$ ]] ||
  fail "SOAK_CYCLES must be a positive count and SOAK_SEED a number of up to 9 digits"
FAIL_NOTE="seed $seed; replay with scripts/soak --cycles $cycles --seed $seed"
echo "soak: $cycles cycles, seed $seed"
seed_draws "$seed"
# Figures are judged from cycle 20 on; a shorter run samples halfway and only prints them.
warm=20 judge=1
((cycles < 40)) && warm=$(((cycles + 1) / 2)) judge=0

# keep_soak_logs: what explains a cycle, into $SOAK_LOGS when scripts/soak names it (the run
# folder goes once the run has passed).
keep_soak_logs() {
  [ -n "${SOAK_LOGS:-}" ] || return 0
  cp -- "$PROGTOOL_LOG" "$BUS_STAMPED" "$TESTER_STAMPED" "$BOARD_LOG" "$TESTER_LOG" "$SOAK_LOGS/"
  cp -- "$PROBLEMS" "$RUN_DIR/panes.txt" "$SOAK_LOGS/" 2>/dev/null
  return 0
}

station_up "$SIM_SCRIPTS/pass.txt"
trap 'status=$?; keep_panes $status; keep_soak_logs' EXIT
start_peer monitor "cycle monitor" 0x200 monitor
cycle_time_start
record_manifest "$RUN_DIR/manifest"
running_script=$SIM_SCRIPTS/pass.txt

# sim_took <log> <mark> <text>: a line of the simulator's log after the mark holds the text.
sim_took() { tail -n "+$(($2 + 1))" "$1" | grep -qF -- "$3"; }

# board_fault <command>: the board takes it and it shapes a reply while the bridge polls.
board_fault() {
  local at
  at=$(wc -l <"$BOARD_LOG")
  board "$1"
  wait_until 10 "the board to apply [$1]" sim_took "$BOARD_LOG" "$at" " applied "
  if [ "$1" = "split 20" ]; then
    wait_until 10 "the second half of a split reply" sim_took "$BOARD_LOG" "$at" ", part 2:"
    board split 0
    wait_until 10 "the board to stop splitting" sim_took "$BOARD_LOG" "$at" "fault split 0"
  fi
}

# tester_fault: the chosen tester fault, taken before the clamp closes.
tester_fault() {
  local at command
  at=$(wc -l <"$TESTER_LOG")
  case $TESTER_FAULT in
  eol) command="eol lf" ;;
  long) command="long 3000" ;;
  raw)
    # Bytes before the start command: the controller shows them and leaves them out of the
    # record.
    local stray="stray line before cycle $cycle"
    tester raw "$(printf '%s\r\n' "$stray" | od -An -v -tx1 | tr -d '\n')"
    wait_until 20 "the stray line on the bus" grep -qF "DATA=$stray " "$BUS_STAMPED"
    return
    ;;
  esac
  tester "$command"
  wait_until 10 "the tester to take [$command]" sim_took "$TESTER_LOG" "$at" "fault $command"
}

# run_cycle: one cycle as chosen, up to the lamp; the fixture is left closed. The end is
# awaited on the bus and in files, never through the windows: a Wine process started to
# read a pane every moment loads the machine just when the tool starts.
run_cycle() {
  local n modes=() tool_at bus_at
  set_cycle_script
  if [ "$SCRIPT" != "$running_script" ]; then
    start_tester "$SCRIPT"
    running_script=$SCRIPT
  fi
  [ -n "$TESTER_FAULT" ] && tester_fault
  [ -n "$BOARD_FAULT" ] && board_fault "$BOARD_FAULT"
  for n in 1 2 3 4; do
    QR[n]=$(printf 'K%05dS%d' "$cycle" "$n")
    [ "${MODES[n]}" != - ] && modes+=("${MODES[n]}")
  done
  plan "${modes[@]}"
  set_qr_codes "${QR[@]}"
  tool_at=$(tool_mark)
  bus_at=$(wc -l <"$BUS_STAMPED")
  close_clamp
  wait_until 90 "the end of cycle $cycle on the bus" cycle_posted "$cycle"
  wait_until 10 "a lamp on the board" lamps_lit
  [ "$TESTER_FAULT" = eol ] && tester eol crlf
  wait_until 10 "all stations powered down" power_off
  wait_until 10 "no programming tool left running" none_running progtool.exe
  check_tool_runs "$tool_at" "$bus_at"
  lamps_are "$(expected_lamps)" || problem "lamps $(lamps), not $(expected_lamps)"
}

# open_clamp_seen: the fixture opens and the control bridge has posted it; the controller
# takes that post before the next "squeezed", as posts arrive in order.
open_clamp_seen() {
  local before
  before=$(count_in "$BUS_STAMPED" 'TYPE=100002FF .*DATA=slack ')
  board clamp 0
  wait_until 20 "the bridge to post slack" more_than "$BUS_STAMPED" 'TYPE=100002FF .*DATA=slack ' "$before"
}

# rests <first cycle> <last cycle>: the mean and the largest rest of those cycles.
rests() {
  local c
  for ((c = $1; c <= $2; c++)); do
    [ -n "${rest_of[c]:-}" ] && echo "$c ${rest_of[c]}"
  done | awk '{ sum += $2; if (NR == 1 || $2 > max) { max = $2; at = $1 } }
    END { if (NR) printf "mean %4.0f ms, max %4.0f ms (cycle %d)", sum / NR, max, at }'
}

good=0 rest_of=()
for ((cycle = 1; cycle <= cycles; cycle++)); do
  choose_cycle
  echo "cycle $cycle: $CHOICE"
  CYCLE_OK=1
  mark=$(cycle_mark)
  run_cycle
  if rest=$(cycle_time rest "$mark"); then
    rest_of[cycle]=$rest
  else
    problem "timing events missing: $rest"
  fi
  check_cycle_records "$RUN_DIR/manifest"
  good=$((good + CYCLE_OK))
  # What the controller saw of a wrong cycle, before the next clamp clears it.
  ((CYCLE_OK)) || {
    echo "== cycle $cycle: programming runs left in the plan: $(plan_left)"
    echo "== tool runs (station, pid, mode, wrote, exit, s from creation to start and to end)"
    echo "$CYCLE_RUNS"
    echo "== result pane" && pane_lines $RESULT
    echo "== progress pane" && pane_lines $PROGRESS
  } >>"$PROBLEMS" 2>&1
  open_clamp_seen
  ((cycle == warm)) && sample_figures warm
done
sample_figures end

echo "soak summary (seed $seed)"
echo "  cycles run $cycles, with all records correct $good"
echo "  stations recorded otherwise than the tool's run calls for (mismatches) $MISMATCHES"
echo "  tool runs $TOOL_RUNS; killed at the time limit (timeouts) $TIMEOUTS, of them not planned" \
  "to hang $UNPLANNED_TIMEOUTS; stations the tool never started for $NOT_STARTED; extra starts" \
  "or plan lines left over $TOOL_FAULTS"
echo "  tool runs from their creation: $(tool_figures)"
echo "  memory and GUI objects after the warm-up and at the end$( ((judge)) || echo ' (too short to judge)')"
report_figures "$warm" "$cycles" "$judge"
few=$((cycles < 20 ? cycles : 20))
echo "  rest beyond the prescribed waits"
echo "    first $few cycles  $(rests 1 $few)"
echo "    last $few cycles   $(rests $((cycles - few + 1)) "$cycles")"
((good == cycles)) || fail "$((cycles - good)) of $cycles cycles had records missing or wrong (see $PROBLEMS)"
((FIGURES_OVER == 0)) || fail "$FIGURES_OVER figures grew by more than 5 % per 100 cycles"
echo "soak passed"
