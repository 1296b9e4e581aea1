# The busy indicator in a small dialog: the shipped still and animated images load from the
# working directory, the animation draws every frame where it belongs and loops, stopping
# ends the thread at once even in a minute-long frame, and missing or broken files leave the
# control idle.
source "$QEL_SOURCE/tests/wine/harness.sh"

TITLE="busy animation demo"
NAME=1020 LOAD=1021 STOP=1022 UNLOAD=1023 STATUS=1024 COLOURS=1025
GREY=C3C3C3 TEAL=008080

work=$RUN_DIR/work
mkdir -p "$work"
cp "$QEL_SOURCE/controller/assets/busy_status.bmp" "$QEL_SOURCE/controller/assets/busy_status.gif" \
  "$work/"
cd "$work" || fail "no working directory"

status() { ui gettext "$TITLE" $STATUS; }
status_has() { [[ "$(status)" == *"$1"* ]]; }
status_matches() { [[ "$(status)" =~ $1 ]]; }
# field <name> <status line>: the value after name=
field() { sed -n "s/.* $1=\([^ ]*\).*/\1/p" <<<" $2"; }
# act <button> <what>: presses it and waits until the demo has handled it (commands are posted).
act() {
  local seq
  seq=$(field seq "$(status)")
  ui command "$TITLE" "$1" || fail "$2"
  wait_until 10 "the demo to handle: $2" status_has "seq=$((seq + 1)) "
}
load() {
  ui settext "$TITLE" $NAME "$1" || fail "settext $1"
  act $LOAD "load $1"
}
# A load that fails leaves the control without an image, without a thread, and alive.
expect_idle_after() {
  load "$1"
  local line
  line=$(status)
  expect_eq "$1: not loaded" "0 - 0" "$(field load "$line") $(field start "$line") $(field frames "$line")"
  expect_eq "$1: thread" 0 "$(field animating "$line")"
  expect_eq "$1: painted frame" - "$(field painted "$line")"
  expect_eq "$1: control keeps its size" "$2" "$(field window "$line")"
}

# 1x1 GIF with two frames of colour 0 and 1, each shown for 60 s; bytes written by hand so
# the test needs no image tool.
long_gif() {
  printf 'GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x80\x80\xc3\xc3\xc3'
  printf '\x21\xf9\x04\x00\x70\x17\x00\x00\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00'
  printf '\x21\xf9\x04\x00\x70\x17\x00\x00\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x4c\x01\x00'
  printf ';'
}

start_win demo "$QEL_BIN/picture_ex_demo.exe"
demo_pid=$!
ui find "$TITLE" 30000 >/dev/null || fail "the demo did not appear"

# Start-up shows the still bitmap at its own size, the right way up.
wait_until 15 "the bitmap to be painted" status_has "painted=0"
line=$(status)
expect_eq "bitmap loaded and drawn" "1 1" "$(field load "$line") $(field start "$line")"
expect_eq "bitmap size" 72x16 "$(field size "$line")"
expect_eq "control fits the bitmap" 72x16 "$(field window "$line")"
expect_eq "bitmap thread" 0 "$(field animating "$line")"
wait_until 10 "the bitmap's colours on screen" pane_has "$TITLE" $COLOURS "f0="
expect_eq "bitmap on screen" "f0=$TEAL/FFFFFF/22B14C" "$(ui gettext "$TITLE" $COLOURS | xargs)"

# The GIF animates on its thread: every frame is painted in its own place, and after the
# last one the canvas is cleared and the loop starts again.
load busy_status.gif
expect_contains "GIF loaded, its thread started" "load=1 start=0 size=96x16 window=96x16 frames=4 animating=1" "$(status)"
wait_until 30 "all four frames painted and a second loop" status_matches "seen=0,1,2,3 wraps=[1-9]"
expect_eq "frames on screen (grey bar, then the teal block walking left to right)" \
  "f0=$GREY/$GREY/$GREY f1=$TEAL/$GREY/$GREY f2=$GREY/$TEAL/$GREY f3=$GREY/$GREY/$TEAL" \
  "$(ui gettext "$TITLE" $COLOURS | xargs)"
if [ -n "${QEL_SCREENSHOT:-}" ]; then
  import -window root "$QEL_SCREENSHOT"
fi

# Stop joins the thread; starting again resumes the loop.
act $STOP "stop"
expect_eq "thread after stop" 0 "$(field animating "$(status)")"
load busy_status.gif
wait_until 30 "the animation to run again" status_matches "animating=1 .*seen=0,1,2,3 wraps=[1-9]"
act $UNLOAD "unload"
line=$(status)
expect_eq "unloaded while running" "0 0" "$(field frames "$line") $(field animating "$line")"

# A frame of a minute does not hold the stop up: the event cuts the wait short, far inside the
# 5 s the control would wait for a thread that does not end.
long_gif >long.gif
load long.gif
wait_until 15 "the long GIF's first frame" status_matches "frames=2 animating=1 painted=0 "
act $STOP "stop in a long frame"
line=$(status)
expect_eq "thread after the long stop" 0 "$(field animating "$line")"
stop_ms=$(field stop_ms "$line")
((stop_ms < 2500)) || fail "stopping a 60 s frame took ${stop_ms} ms"

# Missing, empty, truncated, header-only and garbage files: no image, no thread, no crash.
# A load always unloads first, so each one also stops whatever ran before.
load busy_status.gif
expect_eq "GIF running before the bad files" 1 "$(field animating "$(status)")"
head -c 40 busy_status.gif >truncated.gif
head -c 13 busy_status.gif >header.gif
: >empty.bmp
echo "not an image" >garbage.bmp
for bad in missing.gif empty.bmp truncated.gif header.gif garbage.bmp; do
  expect_idle_after "$bad" 96x16
done

# Closing the dialog while the GIF plays stops the thread and ends the program cleanly.
load busy_status.gif
expect_eq "GIF running before closing" 1 "$(field animating "$(status)")"
ui post "$TITLE" 0x111 2 0 || fail "close"
ui gone "$TITLE" 10000 || fail "the demo did not close"
wait "$demo_pid"
expect_eq "demo exit status" 0 "$?"
echo "picture_ex test passed"
