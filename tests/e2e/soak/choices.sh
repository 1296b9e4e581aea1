# What each soak cycle does, drawn from a seeded sequence: its own generator (the C library's
# rand recurrence, which never overflows bash arithmetic), so that a seed replays the same
# cycles whatever bash's $RANDOM does.

DRAW_STATE=0
seed_draws() { DRAW_STATE=$1; }

# draw <n>: DRAW is the next number from 0 to n-1.
draw() {
  DRAW_STATE=$(((DRAW_STATE * 1103515245 + 12345) % 2147483648))
  DRAW=$(((DRAW_STATE >> 16) % $1))
}

MEASUREMENTS=(R1 C3 VCC)

# choose_cycle: sets, for the next cycle,
#   FAIL_STATION, FAIL_NAME  the station (1-4) and the measurement that fails, or 0 and ""
#   MODES[1..4]              the tool's outcome per station: pass failed cancel none hang, or
#                            "-" for a station that is not programmed
#   BOARD_FAULT              a control-board fault while it polls before the clamp, or ""
#   TESTER_FAULT             eol, long, raw (see run_tester_fault) or ""
#   CHOICE                   all of it in one line
choose_cycle() {
  FAIL_STATION=0 FAIL_NAME=
  draw 5
  if ((DRAW == 0)); then
    draw 4 && FAIL_STATION=$((DRAW + 1))
    draw 3 && FAIL_NAME=${MEASUREMENTS[DRAW]}
  fi
  local n programmed=()
  MODES=()
  for n in 1 2 3 4; do
    MODES[n]=-
    ((n == FAIL_STATION)) && continue
    programmed+=("$n")
    draw 20
    if ((DRAW < 15)); then MODES[n]=pass
    elif ((DRAW < 17)); then MODES[n]=failed
    elif ((DRAW < 19)); then MODES[n]=cancel
    else MODES[n]=none
    fi
  done
  # A hanging tool costs the 10 s timeout: about one cycle in forty.
  draw 40
  if ((DRAW == 0)); then
    draw ${#programmed[@]} && MODES[programmed[DRAW]]=hang
  fi
  local board_faults=("crc 1" "noise 3" "wrong unit" "split 20")
  draw 10
  BOARD_FAULT=${board_faults[DRAW]:-}
  local tester_faults=(eol long raw)
  draw 10
  TESTER_FAULT=${tester_faults[DRAW]:-}
  CHOICE="test all pass"
  [ -n "$FAIL_NAME" ] && CHOICE="test $FAIL_STATION# fails $FAIL_NAME"
  CHOICE+="; tool ${MODES[*]}; board ${BOARD_FAULT:-clean}; tester ${TESTER_FAULT:-clean}"
}
