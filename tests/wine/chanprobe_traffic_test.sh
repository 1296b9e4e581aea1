# The probe on the real bus with a second client: every send reaches the other client
# with its exact type word and bytes, and what the other client posts shows in the
# traffic list in its own line format.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/chanprobe_lib.sh"

peer_start watcher 0x80FF00
start_win chanprobe "$QEL_BIN/chanprobe.exe"
wait_until 30 "the probe to show the library version" has_bound_title
T=$(bound_title)
ui msgbox "load dll error!" 0 >/dev/null 2>&1 && fail "the probe did not load the library"

# Single value: the word and the value itself with length 4.
ui settext "$T" 1018 5
ui settext "$T" 1001 4294967295
ui settext "$T" 1021 "Write Value"
ui settext "$T" 1022 "Timer"
press "$T" 1002 '^20004005      ffffffff$'
expect_peer watcher "event 20004005 value -1"
ui settext "$T" 1001 1234
ui settext "$T" 1021 "Read Para"
ui settext "$T" 1022 "String"
press "$T" 1002 '^40000205      4d2$'
expect_peer watcher "event 40000205 value 1234"

# Strings: the escapes become control characters; no terminating zero is sent.
ui settext "$T" 1018 7
ui settext "$T" 1023 'a\tb'
press "$T" 1019 '^30000207\(  4\) a\\tb$'
expect_peer watcher "event 30000207 bytes 3 61 09 62"
ui settext "$T" 1023 'x\r\n\a\b\q'
press "$T" 1019 '^30000207\( 11\) x\\r\\n\\a\\b\\q$'
expect_peer watcher "event 30000207 bytes 7 78 0d 0a 07 08 5c 71"
ui settext "$T" 1023 ""
press "$T" 1019 '^30000207\(  0\) $'
expect_peer watcher "event 30000207 bytes 0"

# Arrays: the parsed bytes and their count.
ui settext "$T" 1024 "01 ff  1FF"
press "$T" 1020 '^30000407\(  4\) 01 FF 00 FF$'
expect_peer watcher "event 30000407 bytes 4 01 ff 00 ff"

# Stop-all: Write Para, CONTROL, channel 0, no data; no echo line.
before=$(traffic_count "$T")
ui click "$T" 1034
expect_peer watcher "event 80800000 value 0"
expect_eq "StopAll writes no echo" "$before" "$(traffic_count "$T")"

# A refused send posts nothing: the next post is the first the watcher sees after it.
ui settext "$T" 1021 "Read Value"
ui click "$T" 1002
ui msgbox "请使用" 10000 >/dev/null || fail "no refusal for a String value"
ui settext "$T" 1022 "Depth"
press "$T" 1002 '^10000807      4d2$'
expect_peer watcher "event 10000807 value 1234"
[ "$(tail -n1 "$RUN_DIR/watcher.rec")" = "event 10000807 value 1234" ] ||
  fail "the refused send reached the bus: $(tail -n3 "$RUN_DIR/watcher.rec")"

# Incoming: tick the kinds to hear, then another client posts each form.
for box in 1043 1044 1033; do
  ui click "$T" "$box"
  wait_until 10 "filter box $box to be ticked" check_is "$T" "$box" 1
done
wait_until 10 "the probe's mask to reach the library" box_has "$T" 1037 "test 0x00004600"
peer_start text 0 bytes 0x10000201 68 69 09 74 68 65 72 65 0a
expect_traffic "$T" '^[0-9]{5,} 10000201\[  9\] hi\\tthere\\n$'
peer_start zero 0 bytes 0x200002FF 6f 6b 00 6e 6f
expect_traffic "$T" '^[0-9]{5,} 200002ff\[  5\] ok$'
peer_start long 0 bytes 0x10000402 00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 11 12 13 \
  14 15 16 17 18 19 1a 1b 1c 1d
expect_traffic "$T" \
  '^[0-9]{5,} 10000402\( 30\)  00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11$'
peer_start timer 0 value 0x10004003 -1
expect_traffic "$T" '^[0-9]{5,} 10004003      -1$'
peer_start para 0 value 0x40000203 77
peer_start depth 0 value 0x10000803 5
# Depth is not ticked: after the next line the Depth value has still not shown.
peer_start marker 0 text 0x10000203 marker
expect_traffic "$T" '^[0-9]{5,} 10000203\[  6\] marker$'
traffic_has "$T" '^[0-9]{5,} 40000203      77$' || fail "a String Read Para value did not show"
traffic_has "$T" ' 10000803 ' && fail "a kind that is not ticked was shown"

# The list wraps after 40 lines: row 0 then holds line 41 and is numbered 40.
ui click "$T" 1028
wait_until 10 "an empty traffic list" traffic_empty "$T"
peer_start burst 0 value 0x10004001 9 41
wait_until 30 "row 0 numbered 40 with the 41st line" row_is "$T" 1 '^    40 [0-9]{5,} 10004001      9$'
wait_until 10 "row 1 blank" row_is "$T" 2 '^    41 $'
row_is "$T" 3 '^    42 [0-9]{5,} 10004001      9$' || fail "row 2 lost its line at the wrap"

ui click "$T" 1
ui gone "$T" 10000 || fail "CLOSE did not close the probe"
echo "chanprobe traffic passed"
