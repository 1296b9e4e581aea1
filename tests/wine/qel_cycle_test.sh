# One whole cycle on the bus, with a scripted peer in the bridges' place and a stand-in
# programming tool: clamp, test start, tester text, judgement, records on D:, programming of
# the passed stations (one succeeds, one reports a failure, one never ends and is killed),
# the end of the cycle, and the keywords in the order they were posted; the test and write
# buttons on their own. Then the progress pane takes more than 65,535 characters and still
# puts the newest line at the end.
# Leaves a screenshot of the window during the test in $QEL_WINE_ROOT/qel_cycle.png.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"

dir="$RUN_DIR/station app"
qel_install "$dir" with-bus
cp "$QEL_BIN/progtool.exe" "$dir/"
drive=$RUN_DIR/drive_d
mkdir -p "$drive"
map_drive D "$drive"
win_dir=$(win_path "$dir")
# One line of the plan per programmed station.
printf 'pass\nfailed\nhang\n' >"$dir/plan.txt"
reg_set program_execute REG_SZ "\"$win_dir\\progtool.exe\" \"@$win_dir\\plan.txt\" \"$win_dir\\result.txt\""
reg_set program_result REG_SZ "$win_dir\\result.txt"

start_peer bridge "peer bridge" 0x200 qel_link
P=$RUN_DIR/bridge.peer
qel_start "$dir"
wait_until 30 "the window to be maximised" is_zoomed
ui msgbox "Load dll failure!" 0 >/dev/null 2>&1 && fail "the bus library was not loaded"
peer bridge info 129
wait_until 20 "the bus client list" grep -q '^info 129 ' "$P"
expect_contains "qel on the bus" " qel 0x" "$(grep '^info 129 ' "$P")"

# posted: the keywords qel has posted so far, in order.
posted() { sed -n 's/^recv TYPE=200002FF LEN=[0-9]* DATA=\(.*\) ZERO=1$/\1/p' "$P" | paste -sd,; }
posted_is() { [ "$(posted)" = "$1" ]; }
expect_posted() { wait_until "${2:-20}" "the posts $1" posted_is "$1"; }
# say <text>: the bridges post that text to the controller.
say() { peer bridge text 0x100002FF "$1"; }

qrs=(A1B2C3 B2 C3 D4)
for i in 0 1 2 3; do
  ui settext "$T" $((QR1 + i)) "${qrs[i]}" || fail "QR $((i + 1))"
done
ui click "$T" $CLAMP || fail "夹持"
expect_posted "pressurize"
expect_line $PROGRESS "pressurize"

# The fixture closes: one test start however often it says so.
say squeezed
say squeezed
expect_posted "pressurize,powering_down,status_clear,qel_start"
expect_images "during the test" "$IDB_TESTING $IDB_TESTING $IDB_TESTING $IDB_TESTING"
expect_line $RESULT "开始测试"

# The tester's text: four measurements (station 4 out of range), a line in the ANSI code
# page, traffic the controller must ignore, then the end.
say "{show:1/R1_1/x/1.00/1.10/0.90/a/kOhm/b}"
say "{show:1/R2_2/x/1.10/0.90/1.10/a/kOhm/b}"
say "{show:1/R3_3/x/0.95/1.10/0.90/a/kOhm/b}"
say "{show:1/R4_4/x/1.20/1.10/0.90/a/kOhm/b}"
peer bridge text 0x100002FB frame data error
peer bridge bytes 0x10000400 01 03 00
peer bridge text 0x200002FF qel_end
say '\xB2\xE2\xCA\xD4 ok'
expect_line $PROGRESS "测试 ok"
expect_eq "posts after ignored traffic" "pressurize,powering_down,status_clear,qel_start" "$(posted)"
pane_lines $PROGRESS | grep -q "frame data error" && fail "a diagnostic reached the progress pane"
import -window root "$QEL_WINE_ROOT/qel_cycle.png" || fail "no screenshot"
say "end {clear//}"
say qel_end

# Judged: records on D:, results per station, station 1 powered first.
expect_posted "pressurize,powering_down,status_clear,qel_start,powering_up_0"
expect_line $RESULT "4#测试失败"
for line in "1#测试通过" "2#测试通过" "3#测试通过" "4# 错误 R4=1.200kOhm 范围=0.900___1.100"; do
  expect_line $RESULT "$line" 1
done
for line in "1# PASS R1=1.000kOhm range=0.900___1.100" "No.0=1" "No.3=0" "powering_up_0"; do
  expect_line $PROGRESS "$line" 1
done
expect_images "after the judgement" "$IDB_TEST_PASS $IDB_TEST_PASS $IDB_TEST_PASS $IDB_FAIL"
root=$drive/xlog.data
tester_record=$(ls "$root"/qel_str/*_0.txt) || fail "no tester record"
expect_line $PROGRESS "Saved to d:\xlog.data\qel_str\\$(basename "$tester_record")" 1
expected_text="{show:1/R1_1/x/1.00/1.10/0.90/a/kOhm/b}
{show:1/R2_2/x/1.10/0.90/1.10/a/kOhm/b}
{show:1/R3_3/x/0.95/1.10/0.90/a/kOhm/b}
{show:1/R4_4/x/1.20/1.10/0.90/a/kOhm/b}
测试 ok
end {clear//}"
expect_eq "tester record" "$expected_text" "$(tr -d '\r' <"$tester_record")"
[ "$(tail -c 2 "$tester_record" | od -An -tx1 | tr -d ' ')" = 0d0a ] ||
  fail "the tester record does not end its last line with CR LF"
day=$(ls "$root/qel_data") || fail "no date directory"
record() { cat "$root/qel_data/$day/"*"_QR$1.txt"; }
expect_eq "station 1 record" $'\r\n1# PASS R1=1.000kOhm range=0.900___1.100' "$(record A1B2C3)"
expect_eq "station 4 record" $'4# 错误 R4=1.200kOhm 范围=0.900___1.100\r' "$(record D4)"

# Programming: station 1 succeeds, station 2's tool reports a failure, station 3's never ends.
say powered
expect_line $PROGRESS "CheckResult=1"
expect_posted "pressurize,powering_down,status_clear,qel_start,powering_up_0,powering_up_1"
say powered
expect_line $PROGRESS "CheckResult=0"
expect_posted "pressurize,powering_down,status_clear,qel_start,powering_up_0,powering_up_1,powering_up_2"
[ -e "$dir/result.txt" ] && fail "a result that was read was left on disk"
say powered
expect_line $PROGRESS "Program timeout!!!" 20
expect_line $PROGRESS "Closed" 5
cycle="pressurize,powering_down,status_clear,qel_start,powering_up_0,powering_up_1,powering_up_2"
cycle+=",powering_down,status_fail"
expect_posted "$cycle"
for line in "1#写入成功" "2#写入失败" "3#写入失败" "4#未执行写入操作" "测试和写入完成"; do
  expect_line $RESULT "$line" 5
done
expect_images "at the end" "$IDB_PASS $IDB_TEST_PASS $IDB_TEST_PASS $IDB_FAIL"
expect_eq "QR 1 emptied" "" "$(text_of "$T" $QR1)"
summary=$(ls "$root/qel_data/$day/"*Program_Result.txt) || fail "no programming result record"
expect_line $PROGRESS "Program result Saved to d:\xlog.data\qel_data\\$day\\$(basename "$summary")" 1
expect_eq "programming result record" "1#QRA1B2C3 写入成功
2#QRB2 写入失败
3#QRC3 写入失败
4#QRD4 QEL未通过，未执行写入操作" "$(tr -d '\r' <"$summary")"
say slack
expect_line $PROGRESS "slack"

# The buttons alone: 测试 starts a test without the fixture, and 写入 right after it finds no
# passed station to program and ends the cycle at once.
ui click "$T" $TEST || fail "测试"
expect_posted "$cycle,powering_down,status_clear,qel_start"
expect_images "after 测试" "$IDB_TESTING $IDB_TESTING $IDB_TESTING $IDB_TESTING"
ui click "$T" $WRITE || fail "写入"
expect_line $PROGRESS "none to program"
expect_posted "$cycle,powering_down,status_clear,qel_start,powering_down,status_fail"
expect_images "after 写入" "$IDB_FAIL $IDB_FAIL $IDB_FAIL $IDB_FAIL"

# A shift's worth of text: 35 lines of 2000 characters pass 65,535 and the first edit
# control limit of about 30,000; the newest line still comes last.
chunk=$(printf '%0.sabcdefghi ' $(seq 1 199))
for i in $(seq 1 35); do
  echo "text 0x100002FF line $i $chunk"
done >&"${PEER_FD[bridge]}"
say "the newest line"
expect_line $PROGRESS "the newest line" 30
expect_eq "last progress line" "the newest line" "$(pane_lines $PROGRESS | grep . | tail -n1)"
length=$(pane_lines $PROGRESS | wc -c)
((length > 70000)) || fail "the progress pane holds only $length bytes"

peer bridge quit
qel_close
echo "qel cycle test passed"
