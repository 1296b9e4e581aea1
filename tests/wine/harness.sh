# Helpers for Windows-side tests. tests/wine/run prepares the environment (prefix,
# display) and then runs the test script, which sources this file for the helpers.
# Requires: QEL_WINE_ROOT (build/<preset>/wine), QEL_BIN (the Windows programs).

export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
# No Mono or Gecko download prompts; nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Code page 936, as on the Chinese Windows the station runs on.
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

# fail <message>: ends the test; FAIL_NOTE, when set, is added (what a rerun needs to know).
fail() {
  local message="FAIL: $*${FAIL_NOTE:+ ($FAIL_NOTE)}"
  echo "$message" >&2
  # Kept with the test's files, for when ctest's own log has been overwritten by a rerun.
  [ -n "${RUN_DIR:-}" ] && echo "$message" >>"$RUN_DIR/failure.txt"
  exit 1
}

# wait_until <seconds> <what it waits for> <command...>: polls the command until it succeeds.
wait_until() {
  local limit=$1 what=$2
  shift 2
  local deadline=$((SECONDS + limit))
  until "$@" >/dev/null 2>&1; do
    if ((SECONDS >= deadline)); then
      fail "timed out after ${limit}s waiting for: $what"
    fi
    sleep 0.1
  done
}

# The shared template prefix: made once per build folder, under a lock so that
# parallel tests do not race to create it. A prefix made before 32-bit Wine was installed
# cannot run 32-bit programs ("could not load kernel32.dll"), so its .ready file records
# whether it was there, and the template is made anew when that changed.
template_prefix() {
  local template=$QEL_WINE_ROOT/template wine32
  wine32=$(dpkg-query -W -f='wine32 ${Status}' wine32:i386 2>/dev/null || echo "no wine32")
  mkdir -p "$QEL_WINE_ROOT"
  (
    flock 9
    if [ "$(cat "$template/.ready" 2>/dev/null)" != "$wine32" ]; then
      rm -rf "$template"
      WINEPREFIX=$template wineboot -i >/dev/null 2>&1 || fail "wineboot -i failed"
      local key='HKCU\Software\Wine\Fonts\Replacements'
      for face in "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "宋体"; do
        WINEPREFIX=$template wine reg add "$key" /v "$face" /d "WenQuanYi Micro Hei" /f \
          >/dev/null 2>&1 || fail "could not set the font replacement for $face"
      done
      WINEPREFIX=$template wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
        /t REG_DWORD /d 0 /f >/dev/null 2>&1 || fail "could not turn crash dialogs off"
      WINEPREFIX=$template wineserver -w
      echo "$wine32" >"$template/.ready"
    fi
  ) 9>"$QEL_WINE_ROOT/template.lock"
  echo "$template"
}

# A private prefix for one test: its own registry and devices, the template's C: drive.
make_prefix() {
  local dir=$1 template
  template=$(template_prefix) || exit 1
  mkdir -p "$dir/dosdevices"
  cp "$template"/*.reg "$template/.update-timestamp" "$dir/"
  ln -sfn "$template/drive_c" "$dir/dosdevices/c:"
  ln -sfn / "$dir/dosdevices/z:"
}

# start_wineserver <log>: this prefix's server, before any program and for the whole run.
# Debian's Wine keeps the name of the server's folder in a file of the prefix that the first
# program to start writes; two programs starting at once in a new prefix each write their
# own, and one of them then dies with "chdir to ...: No such file or directory".
start_wineserver() {
  wineserver -p 2>>"$1" || fail "could not start wineserver"
  local folder
  folder=$(server_folder)
  [ -z "$folder" ] || [ -d "$folder" ] || fail "wineserver started without its folder $folder"
}

# server_folder: the folder Debian's Wine made for this prefix's server, or nothing when
# this Wine keeps its server elsewhere.
server_folder() {
  local name
  name=$(cat "$WINEPREFIX/wineserver" 2>/dev/null) || return 0
  [[ "$name" == wine-?????? ]] && echo "${TMPDIR:-/tmp}/$name"
}

# stop_wineserver: ends every program of this prefix and its server, and removes the
# server's folder, which Wine itself leaves behind.
stop_wineserver() {
  local folder
  folder=$(server_folder)
  wineserver -k 2>/dev/null
  # wineserver -w waits for this prefix's server to exit; bound it.
  if timeout 20 wineserver -w 2>/dev/null; then
    [ -n "$folder" ] && rm -rf "$folder"
  else
    echo "warning: wineserver of $WINEPREFIX did not exit" >&2
  fi
}

# start_display <dir>: a private Xvfb; sets DISPLAY and XVFB_PID.
start_display() {
  local file=$1/display
  : >"$file"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$file" >/dev/null 2>&1 &
  XVFB_PID=$!
  wait_until 20 "Xvfb to report its display" test -s "$file"
  export DISPLAY=":$(head -n1 "$file")"
}

# win_path <unix path>: the same file as a Windows program of this prefix names it through
# drive Z:, which is the root. Worked out here rather than by winepath: no Wine process to
# start, and nothing a busy Wine prints can end up in the name.
win_path() {
  local path=$1
  [[ "$path" == /* ]] || path=$PWD/$path
  printf 'Z:%s\n' "${path//\//\\}"
}

# map_com <n> <device path>: COMn of this prefix is that device.
map_com() { ln -sfn "$2" "$WINEPREFIX/dosdevices/com$1"; }

# map_drive <letter> <folder>: drive letter of this prefix is that folder.
map_drive() { ln -sfn "$2" "$WINEPREFIX/dosdevices/${1,,}:"; }

# pty_pair <dir>: two linked pseudo-terminals, $dir/a and $dir/b; sets PTY_PID.
pty_pair() {
  local dir=$1
  mkdir -p "$dir"
  socat pty,raw,echo=0,link="$dir/a" pty,raw,echo=0,link="$dir/b" >/dev/null 2>&1 &
  PTY_PID=$!
  wait_until 10 "socat to create $dir/a and $dir/b" test -e "$dir/a" -a -e "$dir/b"
}

# win_run <program> [args...]: a Windows program run to its end, its output passed on once
# it has ended. Under load Wine now and then fails to create a process (its start program
# says "ShellExecuteEx" failed with an internal error); the program never ran, so it is
# started again, three times at most.
win_run() {
  local out err try status
  out=$(mktemp "$RUN_DIR/win_run.XXXXXX") && err=$out.err
  for try in 1 2 3; do
    wine "$@" >"$out" 2>"$err"
    status=$?
    cat "$out" "$err" | grep -aq ShellExecuteEx || break
    echo "Wine could not create the process of $(basename "$1") (try $try)" >&2
  done
  cat "$out"
  cat "$err" >&2
  rm -f "$out" "$err"
  return "$status"
}

# ui <driver command...>: the UI driver, output as UTF-8 lines without CR.
ui() { win_run "$QEL_BIN/uidriver.exe" "$@"; }

# wine_pids <program>: the processes of this prefix running that Windows program.
wine_pids() {
  local pid
  for pid in $(pgrep -f "$1"); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
      echo "$pid"
  done
}
none_running() { [ -z "$(wine_pids "$1")" ]; }
some_running() { [ -n "$(wine_pids "$1")" ]; }

# expect_eq <what> <expected> <actual>
expect_eq() {
  [ "$2" == "$3" ] || fail "$1: expected [$2], got [$3]"
}

# expect_contains <what> <needle> <haystack>
expect_contains() {
  [[ "$3" == *"$2"* ]] || fail "$1: [$2] not found in [$3]"
}

# pane_has <title> <control id> <text>: the control's text contains that text.
pane_has() { [[ "$(ui gettext "$1" "$2")" == *"$3"* ]]; }

# check_is <title> <control id> <0|1>: the button's check state.
check_is() { [ "$(ui checked "$1" "$2")" = "$3" ]; }

# start_win <log name> <program> [args...]: a Windows program in the background, its
# console output kept in $RUN_DIR/<log name>.log for a failed test's post-mortem.
start_win() {
  local log=$RUN_DIR/$1.log
  shift
  wine "$@" >"$log" 2>&1 &
}

# Bus peers (tools/buspeer): a scripted bus client per name, commands through a fifo.
declare -A PEER_FD
# start_peer <name> <window title> [mask [client name]]; its log is $RUN_DIR/<name>.peer
start_peer() {
  local name=$1 title=$2
  shift 2
  local fifo=$RUN_DIR/$name.in
  mkfifo "$fifo"
  wine "$QEL_BIN/buspeer.exe" "$title" "$(win_path "$RUN_DIR/$name.peer")" "$@" \
    <"$fifo" >"$RUN_DIR/$name.log" 2>&1 &
  local fd
  exec {fd}>"$fifo"
  PEER_FD[$name]=$fd
  wait_until 30 "bus peer $name to start" grep -q '^ready' "$RUN_DIR/$name.peer"
}

# peer <name> <command...>: one command line to that peer.
peer() {
  local name=$1
  shift
  echo "$*" >&"${PEER_FD[$name]}"
}

# peer_sync <name>: returns once the peer has carried out every command sent before.
PEER_SYNC=0
peer_sync() {
  PEER_SYNC=$((PEER_SYNC + 1))
  peer "$1" sync "$PEER_SYNC"
  wait_until 20 "bus peer $1 to reach sync $PEER_SYNC" grep -qx "sync $PEER_SYNC" "$RUN_DIR/$1.peer"
}

# expect_log <file> <line>: a line of the file is exactly that text, within a deadline.
expect_log() {
  wait_until "${3:-20}" "the line [$2] in $(basename "$1")" grep -qxF -- "$2" "$1"
}

# expect_no_log <file> <text>: no line of the file contains the text.
expect_no_log() {
  ! grep -qF -- "$2" "$1" || fail "$(basename "$1") has [$2] but should not"
}
