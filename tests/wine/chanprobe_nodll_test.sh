# The probe without the bus library: it says so, then every send still writes its echo
# line; the fields are checked, the about box opens, and Enter and Esc close nothing.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/chanprobe_lib.sh"

# A folder of its own, so the library beside the build's programs is not found.
dir=$RUN_DIR/nodll
mkdir -p "$dir"
cp "$QEL_BIN/chanprobe.exe" "$dir/"
cd "$dir" || fail "no folder $dir"
start_win chanprobe "$dir/chanprobe.exe"

expect_eq "start-up message" "load dll error!" "$(ui msgbox "load dll error!" 30000 | tr -d '\r')"
T=$PROBE_START_TITLE
ui find "$T" 20000 >/dev/null || fail "the probe window did not appear"
expect_eq "client box" "HandleInfo" "$(text_of "$T" 1037)"
expect_eq "variable box" "Varinfo" "$(text_of "$T" 1036)"
expect_eq "direction" "Read Value" "$(text_of "$T" 1021)"
expect_eq "kind" "Depth" "$(text_of "$T" 1022)"
expect_eq "array text" "01 05 09 00 02 09 00 00 01 03 03" "$(text_of "$T" 1024)"
expect_eq "STR box" "0" "$(ui checked "$T" 1043 | tr -d '\r')"

# Single values: direction + kind + channel, value in hexadecimal.
press "$T" 1002 '^10000800      0$'
ui settext "$T" 1018 5
ui settext "$T" 1001 4294967295
ui settext "$T" 1021 "Write Value"
ui settext "$T" 1022 "Timer"
press "$T" 1002 '^20004005      ffffffff$'
ui settext "$T" 1021 "Read Para"
ui settext "$T" 1022 "String"
press "$T" 1002 '^40000205      ffffffff$'
ui settext "$T" 1021 "sideways"
ui settext "$T" 1022 "string"
press "$T" 1002 '^5      ffffffff$'

# A payload kind with a Value direction is refused and writes nothing.
before=$(traffic_count "$T")
ui settext "$T" 1021 "Write Value"
ui settext "$T" 1022 "Array"
ui click "$T" 1002
expect_eq "refusal" "请使用下面的参数发送!" "$(ui msgbox "请使用" 10000 | tr -d '\r')"

# Strings: echoed as typed, with the typed length.
ui settext "$T" 1023 'a\tb'
press "$T" 1019 '^30000205\(  4\) a\\tb$'
expect_eq "the string box keeps what was typed" 'a\tb' "$(text_of "$T" 1023)"
ui settext "$T" 1023 ""
press "$T" 1019 '^30000205\(  0\) $'
expect_eq "rows after the refusal" "$((before + 2))" "$(traffic_count "$T")"

# Arrays: each space opens a byte, at most 20, low 8 bits of each.
press "$T" 1020 '^30000405\( 11\) 01 05 09 00 02 09 00 00 01 03 03$'
ui settext "$T" 1024 " "
press "$T" 1020 '^30000405\(  2\) 00 00$'
ui settext "$T" 1024 "0102"
press "$T" 1020 '^30000405\(  1\) 02$'
ui settext "$T" 1024 "1FF"
press "$T" 1020 '^30000405\(  1\) FF$'
ui settext "$T" 1024 "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25"
press "$T" 1020 '^30000405\( 20\) 01 02 03 04 05 06 07 08 09 10 11 12 13 14 15 16 17 18 19 20$'
before=$(traffic_count "$T")
ui settext "$T" 1024 ""
ui click "$T" 1020
ui settext "$T" 1023 "after empty array"
press "$T" 1019 'after empty array$'
expect_eq "an empty array sends nothing" "$((before + 1))" "$(traffic_count "$T")"

# A channel out of range or a missing value stops the send with the field's message.
before=$(traffic_count "$T")
ui settext "$T" 1018 256
ui click "$T" 1019
expect_eq "channel message" "Please enter an integer between 0 and 255." \
  "$(ui msgbox "between" 10000 | tr -d '\r')"
ui settext "$T" 1018 9
ui settext "$T" 1001 ""
ui click "$T" 1020
expect_eq "value message" "Please enter an unsigned integer." \
  "$(ui msgbox "unsigned" 10000 | tr -d '\r')"
# StopAll reads no field, so the bad value box raises nothing.
ui click "$T" 1034
ui settext "$T" 1001 1
ui settext "$T" 1021 "Read Value"
ui settext "$T" 1022 "WTC"
press "$T" 1002 '^10002009      1$'
ui msgbox "Please" 0 >/dev/null 2>&1 && fail "StopAll checked the fields"
expect_eq "rows after the refused sends" "$((before + 1))" "$(traffic_count "$T")"

# Enter and Esc are swallowed: neither presses CLOSE nor cancels the dialog.
ui post "$T" 0x100 0x1B 0
ui post "$T" 0x100 0x0D 0
ui settext "$T" 1023 "after the keys"
press "$T" 1019 'after the keys$'
ui find "$T" 0 >/dev/null || fail "Enter or Esc closed the dialog"

# The about box opens from system command 16 and its variants with low bits set.
for command in 0x10 0x1F; do
  ui post "$T" 0x112 "$command" 0
  ui find "关于 chanprobe" 10000 >/dev/null || fail "system command $command opened no about box"
  ui command "关于 chanprobe" 1
  ui gone "关于 chanprobe" 10000 || fail "the about box did not close"
done

# Clear empties the list and restarts the numbers.
ui click "$T" 1028
wait_until 10 "an empty traffic list" traffic_empty "$T"
expect_eq "first row after Clear" "     0 " "$(traffic "$T" | head -n1)"

# CLOSE checks the fields before it closes.
ui settext "$T" 1018 300
ui click "$T" 1
ui msgbox "between" 10000 >/dev/null || fail "CLOSE did not check the channel"
ui settext "$T" 1018 0
ui click "$T" 1
ui gone "$T" 10000 || fail "CLOSE did not close the probe"
echo "chanprobe without the library passed"
