# qel_link's window without a bus: "Load dll failure!", and still the port opens and the
# status line counts every tick; hidden at start, shown from the tray menu, hidden again
# with "隐藏" while it keeps working; a lone argument is the mode, with port 1. Two bridges
# for one port started together: one refuses, though neither has its title while the
# other's "Load dll failure!" box is up.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/com_lib.sh"
source "$QEL_SOURCE/tests/wine/bridge_lib.sh"
need_sim sim_control_board

pty_pair "$RUN_DIR/pty"
map_com 4 "$RUN_DIR/pty/a"
start_sim control_board "$RUN_DIR/pty/b"

# A folder with the bridge and no lumo.dll.
mkdir -p "$RUN_DIR/nodll"
cp "$QEL_BIN/qel_link.exe" "$RUN_DIR/nodll/"
cd "$RUN_DIR/nodll" || fail "no folder $RUN_DIR/nodll"
start_win bridge4 ./qel_link.exe 4 1
first=$!
start_win twin4 ./qel_link.exe 4 1
second=$!
expect_eq "refusal of the twin" "qel_link_com4 already running" "$(ui msgbox 'already running' 20000)"
one_ended() { ! kill -0 "$first" 2>/dev/null || ! kill -0 "$second" 2>/dev/null; }
wait_until 20 "the refused bridge to end" one_ended
bridge=$first
kill -0 "$first" 2>/dev/null || bridge=$second
expect_eq "message" "Load dll failure!" "$(ui msgbox 'Load dll failure!' 20000)"
kill -0 "$first" 2>/dev/null && kill -0 "$second" 2>/dev/null && fail "both bridges of COM4 run"
title=qel_link_com4
ui find $title 10000 >/dev/null || fail "no window $title"
wait_until 10 "the bridge window to hide itself" is_hidden $title
wait_until 10 "the status line to show the open port" status_counts $title
first=$(tx_of $title)
wait_until 10 "the polls to go on" tx_above $title "$first"
wait_until 10 "the board to be polled" grep -q 'unit=1' "$RUN_DIR/control_board.log"

# Shown from the tray menu, hidden again by its button; the polls go on meanwhile.
ui post $title 0x111 32771 0
wait_until 10 "the window to show" is_shown $title
ui click $title 2
wait_until 10 "the window to hide again" is_hidden $title
shown=$(tx_of $title)
wait_until 10 "the polls to go on while hidden" tx_above $title "$shown"
ui post $title 0x111 1 0
gone_process $bridge

# One argument: the mode, on port 1.
pty_pair "$RUN_DIR/pty1"
map_com 1 "$RUN_DIR/pty1/a"
start_win lone ./qel_link.exe 5
lone=$!
ui msgbox 'Load dll failure!' 20000 >/dev/null || fail "no message without the bus"
ui find qel_link_com1 10000 >/dev/null || fail "no window qel_link_com1"
expect_eq "mode text" "MODE-5 qel_link 0.1.21 2025-05-21" "$(ui gettext qel_link_com1 1003)"
wait_until 10 "the status line of port 1" status_counts qel_link_com1
expect_eq "status of port 1" "COM1 RX=0 TX=0 RF=0 TF=0" "$(ui gettext qel_link_com1 1004)"
ui post qel_link_com1 0x111 1 0
gone_process $lone
echo "bridge shell test passed"
