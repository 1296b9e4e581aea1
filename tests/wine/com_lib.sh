# Helpers of the serial-channel tests: the native simulators and the Windows probe.

# The wineserver opens the pseudo-terminals and so takes one of them as its controlling
# terminal; when socat goes first the hang-up makes it dump its whole state on stderr. So
# the Windows side is stopped before tests/wine/run stops socat.
trap stop_wineserver EXIT

# need_sim <name>: the simulator is built natively (build the native preset first).
need_sim() {
  [ -x "$QEL_NATIVE_BIN/$1" ] || fail "no $QEL_NATIVE_BIN/$1: build the native preset first"
}

# start_sim <tester|control_board> <device> [args...]: in the background, stdin from
# $RUN_DIR/<name>.in (a fifo kept open on SIM_FD), output in $RUN_DIR/<name>.log.
start_sim() {
  local name=$1
  shift
  local fifo=$RUN_DIR/$name.in log=$RUN_DIR/$name.log
  [ -p "$fifo" ] || mkfifo "$fifo"
  : >"$log"
  "$QEL_NATIVE_BIN/sim_$name" "$@" <"$fifo" >"$log" 2>&1 &
  SIM_PID=$!
  exec {SIM_FD}>"$fifo"
  wait_until 10 "the $name simulator to be ready" grep -q ' ready ' "$log"
}

stop_sim() {
  kill "$SIM_PID" 2>/dev/null
  wait "$SIM_PID" 2>/dev/null
  exec {SIM_FD}>&-
}

# sim_command <text>: one command line to the running simulator.
sim_command() { echo "$*" >&"$SIM_FD"; }

# expected_of <run> <script>: writes what the tester simulator sends for the script (each
# line with CR LF, pauses left out) to $RUN_DIR/<run>.expected and prints its size.
expected_of() {
  local out=$RUN_DIR/$1.expected
  grep -v '^@pause ' "$2" | sed 's/$/\r/' >"$out"
  stat -c %s "$out"
}

# probe <run> <port> <baud> <request> <expected bytes> <wait ms> [hang]: the Windows probe,
# its output (without the console's CRs) in $RUN_DIR/<run>.log and the received bytes in
# $RUN_DIR/<run>.bin. Returns the probe's status; 124 when it ran for over a minute.
probe() {
  local run=$1 status
  shift
  timeout 60 wine "$QEL_BIN/com_probe.exe" "$1" "$2" "$3" "$4" "$(win_path "$RUN_DIR/$run.bin")" \
    "$5" ${6:+"$6"} >"$RUN_DIR/$run.log" 2>&1
  status=$?
  sed -i 's/\r$//' "$RUN_DIR/$run.log"
  echo "com_probe exit status $status" >>"$RUN_DIR/$run.log"
  return $status
}

probe_says() { grep -v '^chunk' "$RUN_DIR/$1.log" | tail -n 4 | tr '\n' ' '; }

# check_chunks <run>: every chunk had 1 to 80 bytes and together they are the file.
check_chunks() {
  local log=$RUN_DIR/$1.log
  awk '/^chunk/ { n = $2 + 0; if (n < 1 || n > 80) bad = 1; total += n }
       END { exit bad }' "$log" || fail "$1: a chunk outside 1 to 80 bytes"
  local total
  total=$(awk '/^chunk/ { total += $2 + 0 } END { print total + 0 }' "$log")
  expect_eq "$1: bytes in chunks" "$(stat -c %s "$RUN_DIR/$1.bin")" "$total"
}

# check_closed <run>: close_port returned with the reader ended, without the old fixed
# two-second pause.
check_closed() {
  local line
  line=$(grep '^closed in' "$RUN_DIR/$1.log") || fail "$1: the probe did not close"
  [[ "$line" == *"reader ended" ]] || fail "$1: $line"
  local ms=${line#closed in }
  ms=${ms%% *}
  ((ms < 1000)) || fail "$1: close took $ms ms"
}

# hex_of <file>: its bytes as upper-case hex pairs separated by blanks.
hex_of() { od -An -v -tx1 "$1" | tr -s ' \n' '  ' | sed 's/^ //; s/ $//' | tr a-f A-F; }
