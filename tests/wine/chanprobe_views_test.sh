# The probe's library views on the real bus: the title, the client list with the mask its
# filter boxes register, public variables, and END_SESSION, which reaches every other
# client and never the probe itself.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/chanprobe_lib.sh"

peer_start alpha 0x200
start_win chanprobe "$QEL_BIN/chanprobe.exe"
wait_until 30 "the probe to show the library version" has_bound_title
T=$(bound_title)
[[ "$T" =~ ^LUMO\(([^\)]+)\)\ Build\(([^\)]+)\)\ ZETOL\(v1\.0-0-g6fa9e40\)\ Build\(2021-07-19\)$ ]] ||
  fail "title: $T"
[ "${BASH_REMATCH[1]}" != "${BASH_REMATCH[2]}" ] || fail "the version and the build are one text: $T"
PROBE=$(list_handle "$T")
ALPHA=$(peer_handle alpha)

# Registered at start-up as "test" with all boxes clear; the other client is listed too.
box_has "$T" 1037 "$PROBE test 0x00000000" || fail "client box: $(text_of "$T" 1037)"
box_has "$T" 1037 "$ALPHA peer 0x00000200" || fail "client box: $(text_of "$T" 1037)"
[ -n "$(text_of "$T" 1052)" ] || fail "the library text box is empty"

# Each filter box re-registers the same window with the new mask.
ui click "$T" 1043
wait_until 10 "mask 0x200 after STR" box_has "$T" 1037 "$PROBE test 0x00000200"
ui click "$T" 1033
wait_until 10 "mask 0x4200 after TMR" box_has "$T" 1037 "$PROBE test 0x00004200"
ui click "$T" 1043
wait_until 10 "mask 0x4000 after STR again" box_has "$T" 1037 "$PROBE test 0x00004000"
for id in 1029 1030 1031 1032 1043 1044 1045 1046; do
  ui click "$T" "$id"
done
wait_until 10 "every kind after all boxes" box_has "$T" 1037 "$PROBE test 0x0080FF00"
[ "$(grep -c "test" <<<"$(text_of "$T" 1037)")" = 1 ] || fail "the probe is listed twice"
# A bad channel stops a filter change: the registration keeps its mask.
ui settext "$T" 1018 999
ui click "$T" 1046
ui msgbox "between" 10000 >/dev/null || fail "the filter change did not check the channel"
ui settext "$T" 1018 0
ui click "$T" 1039
wait_until 10 "the refresh after the refused change" box_has "$T" 1037 "$PROBE test 0x0080FF00"

# Modify sets one public variable; an empty index box means variable 0.
ui settext "$T" 1040 3
ui settext "$T" 1041 77
ui click "$T" 1042
wait_until 10 "variable 3 set" box_has "$T" 1036 "03=77"
ui settext "$T" 1040 ""
ui settext "$T" 1041 5
ui click "$T" 1042
wait_until 10 "variable 0 set" box_has "$T" 1036 "00=5"

# Refresh shows a client that came later.
peer_start beta 0x400
BETA=$(peer_handle beta)
box_lacks "$T" 1037 "$BETA" || fail "the client box changed without a refresh"
ui click "$T" 1039
wait_until 10 "beta in the client list" box_has "$T" 1037 "$BETA peer 0x00000400"

# END_SESSION: each other client is told the session ends and leaves the bus.
ui click "$T" 1053
expect_peer alpha "endsession 1"
expect_peer beta "endsession 1"
wait_until 10 "a client list without the peers" box_lacks "$T" 1037 " peer "
box_has "$T" 1037 "$PROBE test 0x0080FF00" || fail "the probe left the bus: $(text_of "$T" 1037)"
# The probe still hears the bus, so it did not end its own session.
peer_start gamma 0 text 0x10000201 "still here"
expect_traffic "$T" '^[0-9]{5,} 10000201\[ 10\] still here$'
[ "$(grep -c endsession "$RUN_DIR/alpha.rec")" = 1 ] || fail "alpha was told more than once"

# Closing the probe takes it off the bus.
ui click "$T" 1
ui gone "$T" 10000 || fail "CLOSE did not close the probe"
start_win chanprobe2 "$QEL_BIN/chanprobe.exe"
wait_until 30 "a second probe" has_bound_title
T2=$(bound_title)
PROBE2=$(list_handle "$T2")
wait_until 10 "the second probe in the list" box_has "$T2" 1037 "$PROBE2 test 0x00000000"
expect_eq "probes on the bus" "$PROBE2 test 0x00000000" "$(text_of "$T2" 1037 | grep ' test ')"
echo "chanprobe views passed"
