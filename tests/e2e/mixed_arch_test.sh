# A station of both architectures on one bus: the 64-bit qel.exe starts 32-bit qel_link.exe
# bridges from its folder, and a 32-bit probe and bus peer watch. The folder holds the
# 64-bit lumo.dll; the 32-bit programs skip it and load the 32-bit one from the search
# path. Every post crosses between the two layouts of the shared section, and a whole
# cycle passes.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"
source "$QEL_SOURCE/tests/wine/bridge_lib.sh"
source "$QEL_SOURCE/tests/wine/chanprobe_lib.sh"
source "$QEL_SOURCE/tests/e2e/station.sh"

for file in qel.exe lumo.dll; do
  [ -f "$QEL_BIN64/$file" ] || fail "no $QEL_BIN64/$file: build the mingw preset first"
done
# machine <file>: the architecture objdump reads from the PE header.
machine() { LC_ALL=C objdump -f "$1" | sed -n 's/.*file format //p'; }

station_install
cp "$QEL_BIN64/qel.exe" "$QEL_BIN64/lumo.dll" "$STATION/"
expect_eq "qel.exe" pei-x86-64 "$(machine "$STATION/qel.exe")"
expect_eq "qel_link.exe" pei-i386 "$(machine "$STATION/qel_link.exe")"
mkdir -p "$RUN_DIR/lumo32"
cp "$QEL_BIN/lumo.dll" "$RUN_DIR/lumo32/"
WINEPATH=$(win_path "$RUN_DIR/lumo32")
export WINEPATH
station_settings
plan pass pass pass pass
start_devices "$SIM_SCRIPTS/pass.txt"
start_station
start_line_peer
start_win probe "$QEL_BIN/chanprobe.exe"
wait_until 30 "the 32-bit probe to bind the bus" has_bound_title

# Who is on the bus, as the 32-bit peer reads the section the 64-bit qel wrote first.
peer line info 129
peer_sync line
clients=$(grep '^info 129 ' "$LINE_PEER" | tail -n1)
for name in qel qel_link; do
  [[ "$clients" == *" $name 0x"* ]] || fail "no client $name in the list: $clients"
done
expect_eq "probes on the bus (the peer and chanprobe)" 2 "$(grep -o ' test 0x' <<<"$clients" | wc -l)"

set_qr_codes QM01 QM02 QM03 QM04
close_clamp
wait_cycle_end
expect_lamps "allpass=1 fail=0"
expect_powered "programming" "1# none 2# none 3# none 4#"
expect_tester_record "$SIM_SCRIPTS/pass.txt"
expect_file "programming result record" "$(program_record)" '%s\r\n' "1#QRQM01 写入成功" \
  "2#QRQM02 写入成功" "3#QRQM03 写入成功" "4#QRQM04 写入成功"
wait_until 10 "the 32-bit peer to see the lamp keyword of the 64-bit qel" \
  grep -q '^recv TYPE=200002FF .* DATA=status_allpass ' "$LINE_PEER"
echo "mixed architecture station test passed"
