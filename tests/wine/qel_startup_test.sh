# qel.exe without the bus library: the start-up message, then a maximised window with its
# stations as stored, the version label, the About box, the QR edits and Enter; Escape
# closes it and the settings reach the store, the enable flags as 0 or 1.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"

dir=$RUN_DIR/app
qel_install "$dir"
# Station 2 stored as 7 (any non-zero enables), station 3 disabled; a stale programming result.
reg_set check_stall1 REG_DWORD 7
reg_set check_stall2 REG_DWORD 0
stale=$dir/stale_result.txt
echo "failed" >"$stale"
reg_set program_result REG_SZ "$(win_path "$stale")"
qel_start "$dir"

expect_eq "start-up message" "Load dll failure!" "$(ui msgbox "Load dll failure!" 30000 | tr -d '\r')"
ui find "$T" 20000 >/dev/null || fail "the main window did not appear"
wait_until 20 "the window to be maximised" is_zoomed
expect_images "after start-up" "$IDB_READY $IDB_READY $IDB_DISABLED $IDB_READY"
expect_eq "version label" "1.0.10 Oct 27 2025" "$(text_of "$T" $VERSION)"
children=$(probe children "$T")
for caption in "1001 Button 夹持" "1007 Button 测试" "1008 Button 写入" "1006 Button 设置"; do
  grep -qxF "$caption" <<<"$children" || fail "no control [$caption] in the main window"
done

# Maximised, the panes and the banner reach to the right, the progress pane and the version
# label to the bottom; the left column stays where the template put it.
rect() { probe rect "$T" "$1"; }
read -r banner_left _ banner_right _ <<<"$(rect 1012)"
read -r result_left result_top result_right result_bottom <<<"$(rect $RESULT)"
read -r progress_left progress_top progress_right progress_bottom <<<"$(rect $PROGRESS)"
read -r _ _ _ version_bottom <<<"$(rect $VERSION)"
read -r qr_left qr_top _ _ <<<"$(rect $QR1)"
((result_right > 1000)) || fail "the result pane did not grow with the window ($result_right)"
expect_eq "right edges of banner, result and progress" "$banner_right $banner_right" \
  "$result_right $progress_right"
expect_eq "bottom of progress pane and version label" "$progress_bottom" "$version_bottom"
expect_eq "left edges of the panes" "$result_left" "$progress_left"
((progress_top > result_bottom && progress_top - result_bottom < 20)) ||
  fail "the progress pane did not follow the result pane ($result_bottom, $progress_top)"
# QR 1 (7,44) stays beside the top of the result pane (133,43), under the banner's left end.
((qr_left == banner_left && qr_top - result_top <= 4 && qr_top >= result_top)) ||
  fail "the QR edit moved ($qr_left, $qr_top)"
[ -e "$stale" ] && fail "the stale programming result was not deleted at start-up"
expect_eq "bridges started without the bus" 2 "$(grep -c ' started ' "$dir/qel_link_calls.log")"

# The About box from the system menu item, also with the low bits of the command set.
for command in 0x10 0x1F; do
  ui post "$T" 0x112 "$command" 0 || fail "system command $command"
  ui find "关于 qel" 10000 >/dev/null || fail "system command $command opened no About box"
  probe children "关于 qel" | grep -qxF -- "-1 Static qel，版本 1.1" ||
    fail "the About box lacks its version text"
  ui command "关于 qel" 1 || fail "could not press OK in the About box"
  ui gone "关于 qel" 10000 || fail "the About box did not close"
done

# The focus starts in the first QR edit. A scanner types a code and Enter: the edit keeps
# 14 characters and Enter moves on to the next QR edit (the key comes after the characters,
# so once the focus has moved every character has been handled).
expect_eq "focus at start" $QR1 "$(probe focus "$T")"
probe type "$T" $QR1 "ABCDEFGHIJKLMNOPQRST" || fail "typing a QR code"
probe key "$T" 0x0D || fail "Enter"
wait_until 10 "the focus to move on to QR 2" focus_on "$T" 1017
expect_eq "QR edit limit" ABCDEFGHIJKLMN "$(text_of "$T" $QR1)"
probe key "$T" 0x0D || fail "Enter"
wait_until 10 "the focus to move on to QR 3" focus_on "$T" 1018
ui find "$T" 0 >/dev/null || fail "Enter closed the window"

# Escape closes the program through the normal shutdown: settings stored, bridges closed.
probe key "$T" 0x1B || fail "Escape"
ui gone "$T" 20000 || fail "Escape did not close the window"
wait "$QEL_PID"
expect_eq "stored port_qel" "REG_DWORD 0x1" "$(reg_value port_qel)"
expect_eq "stored port_io" "REG_DWORD 0x1" "$(reg_value port_io)"
expect_eq "stored program_execute" "REG_SZ " "$(reg_value program_execute)"
expect_eq "stored check_stall0" "REG_DWORD 0x1" "$(reg_value check_stall0)"
expect_eq "stored check_stall1 (was 7)" "REG_DWORD 0x1" "$(reg_value check_stall1)"
expect_eq "stored check_stall2" "REG_DWORD 0x0" "$(reg_value check_stall2)"
expect_eq "bridges closed at shutdown" 2 "$(grep -c ' closed ' "$dir/qel_link_calls.log")"
echo "qel start-up test passed"
