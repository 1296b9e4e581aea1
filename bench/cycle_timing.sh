# Where the time of a normal cycle goes, from the first "squeezed" to "status_allpass":
# the waits the station prescribes, the time of the devices and the programming tool, and
# the rest, which is the station's own work and transport. Runs under tests/wine/run;
# CYCLES (default 3) sets how many cycles are measured.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"
source "$QEL_SOURCE/tests/e2e/station.sh"
source "$QEL_SOURCE/tests/e2e/cycle_time.sh"

cycles=${CYCLES:-3}
station_install
station_settings
start_devices "$SIM_SCRIPTS/pass.txt"
start_station
start_peer monitor "cycle monitor" 0x200 monitor

cycle_time_start

for ((cycle = 1; cycle <= cycles; cycle++)); do
  plan pass pass pass pass
  set_qr_codes "QT${cycle}1" "QT${cycle}2" "QT${cycle}3" "QT${cycle}4"
  mark=$(cycle_mark)
  close_clamp
  wait_cycle_end
  lamps_are "allpass=1 fail=0" || fail "cycle $cycle did not end in all-pass: $(lamps)"
  # The monitor has the last post once the lamp is lit; wait for its stamped line.
  wait_until 10 "the stamped status_allpass" cycle_posted $cycle
  echo "cycle $cycle"
  cycle_time report "$mark" "$(tester_record)" "$(station_record "QT${cycle}4")" ||
    fail "cycle $cycle: events missing in $BUS_STAMPED"
  open_clamp
done
