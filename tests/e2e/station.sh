# Helpers of the whole-station runs (end-to-end tests, the demo, the cycle benchmark):
# qel.exe with the real bridges, the bus library and the programming-tool stand-in in one
# folder; the tester and control-board simulators on pseudo-terminals mapped to COM3 and
# COM5; drive D: on a records folder; and readers of what the station did.
# Sourced after tests/wine/harness.sh and tests/wine/qel_lib.sh. Needs RUN_DIR, WINEPREFIX,
# QEL_BIN, QEL_NATIVE_BIN and QEL_SOURCE.

TESTER_PORT=3
BOARD_PORT=5
STATION=$RUN_DIR/station
RECORDS=$RUN_DIR/records
DATA_ROOT=$RECORDS/xlog.data
TESTER_LOG=$RUN_DIR/tester.log
BOARD_LOG=$RUN_DIR/board.log
# The programming tool takes its outcome from the first line of the plan, one line a run.
PLAN=$RUN_DIR/plan.txt
RESULT_FILE=$RUN_DIR/result.txt
# Every run of the tool appends its start, the mode it took and its end here
# (tools/progtool/run_log_line.h); qel.exe passes the variable on to the tool.
PROGTOOL_LOG=$RUN_DIR/progtool.log
QEL_PROGTOOL_LOG=$(win_path "$PROGTOOL_LOG")
export QEL_PROGTOOL_LOG
SIM_SCRIPTS=$QEL_SOURCE/sim/scripts
E2E_SCRIPTS=$QEL_SOURCE/tests/e2e/scripts
TESTER_PID=
TESTER_FD=
BOARD_MARK=0

# station_install: the program folder and drive D: for the records.
station_install() {
  local file
  for file in qel.exe qel_link.exe lumo.dll progtool.exe; do
    [ -f "$QEL_BIN/$file" ] || fail "no $QEL_BIN/$file: build the mingw preset first"
  done
  for file in sim_tester sim_control_board; do
    [ -x "$QEL_NATIVE_BIN/$file" ] || fail "no $QEL_NATIVE_BIN/$file: build the native preset first"
  done
  mkdir -p "$STATION" "$RECORDS"
  cp "$QEL_BIN"/{qel.exe,qel_link.exe,lumo.dll,progtool.exe} \
    "$QEL_SOURCE"/controller/assets/busy_status.{bmp,gif} "$STATION/"
  map_drive d "$RECORDS"
}

# reg_string <text>: the text as a quoted string of a .reg file.
reg_string() {
  local text=${1//\\/\\\\}
  printf '"%s"' "${text//\"/\\\"}"
}

# station_settings [name=value...]: qel's stored settings: tester on COM3, control board
# on COM5, the stand-in tool following $PLAN, all four stations on; arguments override.
station_settings() {
  local -A value=(
    [port_qel]=$TESTER_PORT [port_io]=$BOARD_PORT
    [program_result]=$(win_path "$RESULT_FILE")
    [check_stall0]=1 [check_stall1]=1 [check_stall2]=1 [check_stall3]=1
  )
  # progtool "@<plan>" <result file>
  local tool plan_file
  tool=$(win_path "$STATION/progtool.exe")
  plan_file=$(win_path "$PLAN")
  value[program_execute]="\"$tool\" \"@$plan_file\" \"${value[program_result]}\""
  local pair name
  for pair in "$@"; do
    value[${pair%%=*}]=${pair#*=}
  done
  local reg=$RUN_DIR/settings.reg
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\%s]\r\n' \
      "${SETTINGS_KEY#HKCU\\}"
    for name in port_qel port_io check_stall0 check_stall1 check_stall2 check_stall3; do
      printf '"%s"=dword:%08x\r\n' "$name" "${value[$name]}"
    done
    for name in program_execute program_result; do
      printf '"%s"=%s\r\n' "$name" "$(reg_string "${value[$name]}")"
    done
  } >"$reg.utf8"
  { printf '\xFF\xFE' && iconv -f UTF-8 -t UTF-16LE "$reg.utf8"; } >"$reg" ||
    fail "could not convert $reg.utf8 to UTF-16"
  wine reg import "$(win_path "$reg")" >/dev/null 2>&1 || fail "could not import $reg"
}

# plan <mode...>: the programming tool's outcomes for its next runs, in order.
plan() { printf '%s\r\n' "$@" >"$PLAN"; }
plan_left() { tr -d '\r' <"$PLAN" | grep -c .; }
plan_shorter_than() { [ "$(plan_left)" -lt "$1" ]; }

# start_devices <tester script>: both simulators, each on the far end of a pseudo-terminal
# pair whose near end is the COM port of its bridge.
start_devices() {
  pty_pair "$RUN_DIR/tester-line"
  map_com $TESTER_PORT "$RUN_DIR/tester-line/a"
  map_com $BOARD_PORT "$RUN_DIR/board-line/a"
  start_tester "$1"
  plug_board
}

# plug_board: the control board's line, a new pseudo-terminal pair as a USB adapter
# plugged in, and the board simulator on it. Its command fifo is held open read-write, so
# that it outlives the simulator and opening it never blocks.
plug_board() {
  pty_pair "$RUN_DIR/board-line"
  BOARD_LINE_PID=$PTY_PID
  local fifo=$RUN_DIR/board.in before
  if [ -z "${BOARD_FD:-}" ]; then
    mkfifo "$fifo"
    exec {BOARD_FD}<>"$fifo"
  fi
  before=$(count_in "$BOARD_LOG" ' ready ')
  "$QEL_NATIVE_BIN/sim_control_board" "$RUN_DIR/board-line/b" <"$fifo" >>"$BOARD_LOG" 2>&1 &
  BOARD_PID=$!
  wait_until 10 "the control-board simulator to be ready" more_than "$BOARD_LOG" ' ready ' "$before"
}

# pull_board: the control board's USB adapter is pulled out: both ends of its line go,
# and the simulator with them.
pull_board() {
  kill "$BOARD_LINE_PID"
  wait "$BOARD_LINE_PID" 2>/dev/null
  wait_until 10 "the board simulator to lose its line" bash -c "! kill -0 $BOARD_PID 2>/dev/null"
}

# start_line_peer: a bus client beside the station, registered like the probe: its log
# $LINE_PEER shows every bridge post (diagnostics included; read it with the helpers of
# tests/wine/bridge_lib.sh), and `as_controller <keyword>` posts a keyword as qel does.
start_line_peer() {
  start_peer line "line peer" 0x200 test
  LINE_PEER=$RUN_DIR/line.peer
}
as_controller() { peer line text 0x200002FF "$1"; }

# board <command>: one command line to the control-board simulator ("clamp 1", "delay 600",
# "wrong unit"...; see sim/control_board/main.cpp).
board() { echo "$*" >&"$BOARD_FD"; }

# tester <command>: one command line to the tester simulator ("eol lf", "cut 3"...; see
# sim/tester/main.cpp), also across restarts by start_tester.
tester() { echo "$*" >&"$TESTER_FD"; }

# count_in <file> <text>: how many lines of the file hold the text (0 for no file).
count_in() {
  local n
  n=$(grep -c -- "$2" "$1" 2>/dev/null)
  echo "${n:-0}"
}
more_than() { [ "$(count_in "$1" "$2")" -gt "$3" ]; }

# start_tester <script>: (re)starts the tester simulator with that script; the line stays,
# and so does its command fifo: held open read-write here, so that opening it never blocks
# and commands sent between two testers wait for the next one.
start_tester() {
  stop_tester
  local before fifo=$RUN_DIR/tester.in
  if [ -z "${TESTER_FD:-}" ]; then
    [ -p "$fifo" ] || mkfifo "$fifo"
    exec {TESTER_FD}<>"$fifo"
  fi
  before=$(count_in "$TESTER_LOG" ' ready ')
  "$QEL_NATIVE_BIN/sim_tester" "$RUN_DIR/tester-line/b" "$1" <"$fifo" >>"$TESTER_LOG" 2>&1 &
  TESTER_PID=$!
  wait_until 10 "the tester simulator to be ready" more_than "$TESTER_LOG" ' ready ' "$before"
}

stop_tester() {
  if [ -n "$TESTER_PID" ]; then
    kill "$TESTER_PID" 2>/dev/null
    wait "$TESTER_PID" 2>/dev/null
    TESTER_PID=
  fi
}

# port_open <n>: the bridge of COMn shows its traffic line, which it does once the port is open.
port_open() { [[ "$(ui gettext "qel_link_com$1" 1004)" == "COM$1 "* ]]; }

# frames_sent <n>: the frames the bridge of COMn has sent, from its traffic line.
frames_sent() { ui gettext "qel_link_com$1" 1004 | sed -n 's/.* TF=\([0-9]*\).*/\1/p'; }
frames_sent_above() { [ "$(frames_sent "$1")" -gt "$2" ]; }

# station_up <tester script> [name=value...]: the whole station as most runs want it:
# installed, with its settings (the arguments override), a programming tool that passes
# every run, both simulators, and qel.exe with both bridges' ports open.
station_up() {
  local script=$1
  shift
  station_install
  station_settings "$@"
  plan pass pass pass pass
  start_devices "$script"
  start_station
}

# start_station: qel.exe from its folder; returns once its window is up and both bridges
# have opened their ports.
start_station() {
  trap 'keep_panes $?' EXIT
  qel_start "$STATION"
  ui find "$T" 30000 >/dev/null || fail "the window $T did not appear"
  wait_until 30 "the tester bridge to open COM$TESTER_PORT" port_open $TESTER_PORT
  wait_until 30 "the control bridge to open COM$BOARD_PORT" port_open $BOARD_PORT
}

# keep_panes <status>: after a failure, the controller's panes go beside the logs.
keep_panes() {
  [ "$1" -eq 0 ] && return
  {
    echo "== result pane"
    pane_lines $RESULT
    echo "== progress pane"
    pane_lines $PROGRESS
    echo "== indicators: $(station_images)"
  } >"$RUN_DIR/panes.txt" 2>&1
}

# set_qr_codes <four codes>: typed into the QR edits, as the operator scans them.
set_qr_codes() {
  local codes=("$@") i
  for i in 0 1 2 3; do
    ui settext "$T" $((QR1 + i)) "${codes[i]}" >/dev/null || fail "could not set QR code $((i + 1))"
  done
}

# The board's log from the start of the current cycle on.
board_since() { tail -n "+$((BOARD_MARK + 1))" "$BOARD_LOG"; }
# power_history: the power register's values in this cycle ("1# none 2# none").
power_history() {
  board_since | sed -n 's/.* unit=2 value=0x[0-9A-F]* on=//p' | tr '\n' ' ' | sed 's/ $//'
}
# expect_powered <what> <history>: the stations were powered in that order, one at a time
# ("1# none 2#"); whether the last one has been powered down yet is left out.
expect_powered() {
  local history
  history=$(power_history)
  expect_eq "$1: power register" "$2" "${history% none}"
}
# power_off: nothing is powered now.
power_off() { grep ' unit=2 ' "$BOARD_LOG" | tail -n 1 | grep -q 'on=none$'; }

# lamps: the two lamp bits of the status register as it stands ("allpass=1 fail=0").
lamps() { grep ' unit=1 ' "$BOARD_LOG" | tail -n 1 | grep -o 'allpass=. fail=.'; }
lamps_are() { [ "$(lamps)" = "$1" ]; }
expect_lamps() { wait_until 10 "the lamps to show $1 (showing $(lamps))" lamps_are "$1"; }

# close_clamp: the operator presses "夹持" and the fixture closes; returns once the tester
# has its start command.
close_clamp() {
  BOARD_MARK=$(wc -l <"$BOARD_LOG")
  local starts
  starts=$(count_in "$TESTER_LOG" ' start$')
  ui click "$T" $CLAMP || fail "could not press 夹持"
  wait_until 10 "the board to be pressurized" grep -q 'pressurize=1' "$BOARD_LOG"
  board clamp 1
  wait_until 20 "the tester's start command" more_than "$TESTER_LOG" ' start$' "$starts"
}

# open_clamp: the fixture opens, and the controller has seen it.
open_clamp() {
  board clamp 0
  expect_line $PROGRESS slack
}

# wait_cycle_end [seconds]: the controller has finished the cycle and the board shows a lamp.
wait_cycle_end() {
  expect_line $RESULT "测试和写入完成" "${1:-60}"
  wait_until 10 "a lamp on the board" lamps_lit
}
lamps_lit() { [[ "$(lamps)" == *=1* ]]; }

# The newest record of a kind: tester_record, station_record <qr>, program_record.
newest_record() {
  find "$DATA_ROOT/$1" -type f -name "$2" -printf '%T@ %p\n' 2>/dev/null | sort -n |
    tail -n 1 | cut -d' ' -f2-
}
tester_record() { newest_record qel_str '*_0.txt'; }
station_record() { newest_record qel_data "*_QR$1.txt"; }
program_record() { newest_record qel_data '*Program_Result.txt'; }
record_count() { find "$DATA_ROOT" -type f 2>/dev/null | wc -l; }

# expect_file <what> <file> <printf format> [args...]: the file holds exactly that text.
expect_file() {
  local what=$1 file=$2 expected=$RUN_DIR/expected.txt
  shift 2
  [[ -n "$file" && -f "$file" ]] || fail "$what: no such record"
  # shellcheck disable=SC2059
  printf "$@" >"$expected"
  cmp -s "$expected" "$file" ||
    fail "$what: $file differs from what was expected:$(diff <(cat -A "$expected") <(cat -A "$file"))"
}

# tester_record_matches <script> <record>: the tester record is the script's text, each line
# with CR LF. Bridge messages that arrive during the test ("powered_off", "paralyzed") are
# collected with it, as every bus text is; they are left out of the comparison.
tester_record_matches() {
  grep -v '^@pause ' "$1" | sed 's/$/\r/' >"$RUN_DIR/expected.txt"
  grep -vxE $'(powered_off|paralyzed)\r' "$2" >"$RUN_DIR/tester_record.txt"
  cmp -s "$RUN_DIR/expected.txt" "$RUN_DIR/tester_record.txt"
}

# expect_tester_record <script>: the newest tester record matches the script.
expect_tester_record() {
  local file
  file=$(tester_record)
  [ -n "$file" ] || fail "no tester record"
  tester_record_matches "$1" "$file" ||
    fail "the tester record $file is not the tester's text:$(diff "$RUN_DIR/expected.txt" "$file")"
}
