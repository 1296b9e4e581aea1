# Helpers of the station controller's Windows-side tests; sourced after harness.sh.
# QEL_HELPERS: the folder of fake_qel_link.exe and qel_probe.exe, by
# default the build's test_helpers.

QEL_HELPERS=${QEL_HELPERS:-$QEL_BIN/../test_helpers}
T="QEL测试仪"
SETTINGS_KEY='HKCU\Software\应用程序向导生成的本地应用程序\qel\Settings'

# Controls of the main window.
QR1=1016 CLAMP=1001 TEST=1007 WRITE=1008 SETTINGS=1006 RESULT=1010 PROGRESS=1002 VERSION=1003
STATIONS=(1000 1004 1005 1009)
# Bitmaps an indicator can show.
IDB_FAIL=130 IDB_TEST_PASS=131 IDB_TESTING=134 IDB_PASS=135 IDB_READY=138 IDB_DISABLED=139
# Controls of the settings dialog "设置".
S="设置"
PORT_QEL=1004 PORT_IO=1005 PROGRAM_EXECUTE=1009 PROGRAM_RESULT=1010 CHECKS=(1012 1013 1014 1015)

# qel_install <dir> [with-bus]: a program folder with qel.exe, the stand-in bridge as
# qel_link.exe and the busy images; with-bus adds lumo.dll.
qel_install() {
  local dir=$1
  mkdir -p "$dir"
  cp "$QEL_BIN/qel.exe" "$dir/"
  cp "$QEL_HELPERS/fake_qel_link.exe" "$dir/qel_link.exe"
  cp "$QEL_SOURCE/controller/assets/busy_status.bmp" "$QEL_SOURCE/controller/assets/busy_status.gif" \
    "$dir/"
  if [ "${2:-}" = with-bus ]; then
    cp "$QEL_BIN/lumo.dll" "$dir/"
  fi
}

# launches <calls log>: the stand-in bridges' arguments, in the order they were started.
launches() {
  sort -n "$1" | sed -n 's/^[0-9]* started args=\(.*\) cwd=.*/\1/p' | paste -sd,
}
# count_is <n> <pattern> <file>: that many lines of the file match.
count_is() { [ "$(grep -c -- "$2" "$3")" = "$1" ]; }

# qel_start <dir>: qel.exe from that folder, which is also its working directory.
qel_start() {
  cd "$1" || fail "no folder $1"
  start_win qel "$1/qel.exe"
  QEL_PID=$!
}

# qel_close: the cancel command that Escape and the close box give; waits for the process
# to end.
qel_close() {
  ui post "$T" 0x111 2 0 || fail "could not post the close command"
  ui gone "$T" 20000 || fail "qel did not close"
  wait "$QEL_PID"
}


probe() { win_run "$QEL_HELPERS/qel_probe.exe" "$@" | tr -d '\r'; }
is_zoomed() { [ "$(probe zoomed "$T")" = 1 ]; }
# focus_on <title> <id>: the keyboard focus is on that control of the window.
focus_on() { [ "$(probe focus "$1")" = "$2" ]; }
text_of() { ui gettext "$1" "$2" | tr -d '\r'; }

# station_images: the bitmap ids the four indicators show, in station order.
station_images() {
  local id images=()
  for id in "${STATIONS[@]}"; do
    images+=("$(text_of "$T" "$id")")
  done
  echo "${images[*]}"
}
images_are() { [ "$(station_images)" = "$1" ]; }
# expect_images <what> <four ids>: the indicators come to show them within a deadline.
expect_images() {
  wait_until 20 "$1: indicators $2" images_are "$2"
}

# pane_lines <id>: the pane's lines, without carriage returns.
pane_lines() { text_of "$T" "$1"; }
pane_has_line() { pane_lines "$1" | grep -qxF -- "$2"; }
# expect_line <pane id> <line>: the pane comes to hold exactly that line.
expect_line() { wait_until "${3:-20}" "the line [$2] in pane $1" pane_has_line "$1" "$2"; }

# reg_value <name>: the stored value's type and data ("REG_DWORD 0x7"), or nothing.
reg_value() {
  wine reg query "$SETTINGS_KEY" /v "$1" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 \{4\}\(REG_[A-Z_]*\) \{4\}\(.*\)$/\1 \2/p"
}
# reg_set <name> <REG_DWORD|REG_SZ> <data>
reg_set() {
  wine reg add "$SETTINGS_KEY" /v "$1" /t "$2" /d "$3" /f >/dev/null 2>&1 ||
    fail "could not store $1"
}
value_is() { [ "$(reg_value "$1")" = "$2" ]; }

# open_settings: presses "设置" and waits for the dialog.
open_settings() {
  ui click "$T" $SETTINGS || fail "could not press 设置"
  ui find "$S" 20000 >/dev/null || fail "the settings dialog did not open"
}

