# The UI driver against a real dialog: find, type, press, read, dismiss, post, close.
source "$QEL_SOURCE/tests/wine/harness.sh"

start_win testdlg "$QEL_BIN/testdlg.exe"
ui find "驱动测试" 30000 >/dev/null || fail "the test dialog did not appear"

ui settext "驱动测试" 1001 "第一行 one" || fail "settext"
expect_eq "input text read back" "第一行 one" "$(ui gettext "驱动测试" 1001)"
ui click "驱动测试" 1002 || fail "click"
wait_until 10 "the pane to show the copied text" pane_has "驱动测试" 1003 "第一行 one"

expect_eq "checkbox before" "0" "$(ui checked "驱动测试" 1004)"
ui click "驱动测试" 1004 || fail "click checkbox"
wait_until 10 "the checkbox to be ticked" check_is "驱动测试" 1004 1

# A message box is found by its text, reported, and answered with the button given.
ui settext "驱动测试" 1001 "box" || fail "settext box"
ui command "驱动测试" 1002 || fail "command"
expect_eq "message box text" "你好 box" "$(ui msgbox "你好" 10000 2)"
wait_until 10 "the pane to show the cancel answer" pane_has "驱动测试" 1003 "answer cancel"

ui post "驱动测试" 0x8000 0 -1 || fail "post"
wait_until 10 "the posted WM_APP to be handled" pane_has "驱动测试" 1003 "WM_APP"

# Failures are reported, not hidden.
ui find "no such window" 200 2>/dev/null && fail "found a window that does not exist"
ui msgbox "nothing says this" 200 2>/dev/null && fail "found a message box that does not exist"

ui post "驱动测试" 0x111 2 0 || fail "close"
ui gone "驱动测试" 10000 || fail "the dialog did not close"
wait
echo "uidriver test passed"
