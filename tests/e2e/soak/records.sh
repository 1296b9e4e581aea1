# The records a soak cycle must leave, worked out from what the simulators and the tool were
# told to do (choices.sh), and the check that the cycle left exactly those. Needs the cycle's
# QR codes in QR[1..4] and $cycle; problems go to $PROBLEMS.

PROBLEMS=$RUN_DIR/problems.txt
MISMATCHES=0
declare -A FAIL_VALUE=([R1]=11.20 [C3]=88.0 [VCC]=0.02)

# set_cycle_script: SCRIPT is the tester script of the cycle: the pass script, or a copy of it
# with the chosen measurement out of its limits.
set_cycle_script() {
  SCRIPT=$SIM_SCRIPTS/pass.txt
  [ -z "$FAIL_NAME" ] && return
  local name=${FAIL_NAME}_$FAIL_STATION value=${FAIL_VALUE[$FAIL_NAME]}
  SCRIPT=$RUN_DIR/scripts/fail_$name.txt
  [ -f "$SCRIPT" ] && return
  mkdir -p "$RUN_DIR/scripts"
  sed "s#^\({show:[0-9]*/$name/[^/]*/\)[^/]*#\1$value#" "$SIM_SCRIPTS/pass.txt" >"$SCRIPT"
  grep -q "/$name/[^/]*/$value/" "$SCRIPT" || fail "pass.txt has no measurement $name"
}

# expected_run <file>: the tester's text as the controller reads it this cycle: a long line
# is cut to the 2047 bytes the bridge keeps.
expected_run() {
  {
    [ "$TESTER_FAULT" = long ] && seq 0 2046 | awk '{ printf "%d", $1 % 10 } END { print "" }'
    cat "$SCRIPT"
  } >"$1"
}

# station_text <station>: that station's record: its failed measurements, a line end, its
# passed ones, the lines of each part joined by CR LF.
station_text() {
  awk -F/ -v n="$1" '
    /^\{show:/ {
      split($2, name, "_")
      if (name[2] != n) next
      pass = $4 + 0 >= $6 + 0 && $4 + 0 <= $5 + 0
      line = sprintf("%d# %s %s=%.3f%s %s=%.3f___%.3f", n, pass ? "PASS" : "错误", name[1], $4,
                     $8, pass ? "range" : "范围", $6, $5)
      if (pass) passes = passes (passes == "" ? "" : "\r\n") line
      else errors = errors (errors == "" ? "" : "\r\n") line
    }
    END { printf "%s\r\n%s", errors, passes }' "$SCRIPT"
}

# program_text: the programming result record as the tool's runs call for (OUTCOME[1..4],
# tool_runs.sh): programmed, not programmed (the tool failed, was cancelled, left no result
# or was killed), or not tried after a failed test.
program_text() {
  local n
  declare -A text=([programmed]="写入成功" [failed]="写入失败" [untried]="QEL未通过，未执行写入操作")
  for n in 1 2 3 4; do
    printf '%s#QR%s %s\r\n' "$n" "${QR[n]}" "${text[${OUTCOME[n]}]}"
  done
}

expected_lamps() {
  if [ "${OUTCOME[*]}" = "programmed programmed programmed programmed" ]; then
    echo "allpass=1 fail=0"
  else
    echo "allpass=0 fail=1"
  fi
}

# problem <text>: one thing wrong with this cycle.
problem() {
  echo "  cycle $cycle: $*"
  echo "cycle $cycle: $*" >>"$PROBLEMS"
  CYCLE_OK=0
}

# record_manifest <file>: every record with its checksum.
record_manifest() { find "$DATA_ROOT" -type f -exec md5sum {} + 2>/dev/null | sort -k2 >"$1"; }

# only_new <what> <pattern>: ONLY is the one new record whose path matches, else a problem.
only_new() {
  local found
  found=$(grep -- "$2" "$RUN_DIR/new_records.txt")
  ONLY=
  case $(grep -c . <<<"$found") in
  1) ONLY=$found ;;
  0) problem "no $1" ;;
  *) problem "more than one $1: ${found//$'\n'/ }" ;;
  esac
}

# same_text <what> <expected file> <file compared>
same_text() {
  cmp -s "$2" "$3" && return
  problem "$1 ($ONLY) is not as expected; the difference is in $(basename "$PROBLEMS")"
  diff <(cat -A "$2") <(cat -A "$3") >>"$PROBLEMS"
}

# check_cycle_records <manifest before the cycle>: CYCLE_OK is 1 when the cycle added exactly
# its six records, each as expected, a station's under its own QR code, and left every
# earlier record as it was.
check_cycle_records() {
  local after=$RUN_DIR/manifest.after expected=$RUN_DIR/expected_record.txt n
  record_manifest "$after"
  awk 'FILENAME == ARGV[1] { old[$2] = $1; next }
       $2 in old { if (old[$2] != $1) print "changed " $2; delete old[$2]; next }
       { print "new " $2 }
       END { for (path in old) print "lost " path }' "$1" "$after" >"$RUN_DIR/record_changes.txt"
  sed -n 's/^new //p' "$RUN_DIR/record_changes.txt" >"$RUN_DIR/new_records.txt"
  while read -r what path; do
    problem "an earlier record was $what: $path"
  done < <(grep -v '^new ' "$RUN_DIR/record_changes.txt")
  local count
  count=$(grep -c . "$RUN_DIR/new_records.txt")
  ((count == 6)) || problem "$count new records instead of 6: $(paste -sd' ' "$RUN_DIR/new_records.txt")"

  only_new "tester record" '/qel_str/'
  if [ -n "$ONLY" ]; then
    expected_run "$RUN_DIR/expected_run.txt"
    tester_record_matches "$RUN_DIR/expected_run.txt" "$ONLY" ||
      same_text "tester record" "$RUN_DIR/expected.txt" "$RUN_DIR/tester_record.txt"
  fi
  for n in 1 2 3 4; do
    only_new "record of station $n" "_QR${QR[n]}\.txt\$"
    [ -n "$ONLY" ] && station_text "$n" >"$expected" && same_text "station $n record" "$expected" "$ONLY"
  done
  only_new "programming result record" 'Program_Result\.txt$'
  if [ -n "$ONLY" ]; then
    program_text >"$expected"
    # Stations recorded otherwise than their tool runs call for.
    MISMATCHES=$((MISMATCHES + $(grep -cvxFf "$ONLY" "$expected")))
    same_text "programming result record" "$expected" "$ONLY"
  fi
  mv "$after" "$1"
}
