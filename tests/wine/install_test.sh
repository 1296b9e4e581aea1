# The shipped installer of this build's architecture, under Wine: a silent install into a
# C: drive of the test's own; the program files, the Start-menu shortcuts and the uninstall
# entry in place; one whole cycle with the installed qel.exe starting the installed bridges,
# and the installed qelreport.exe reading its records;
# a silent uninstall that removes the programs, the shortcuts and the entry and keeps the
# settings and every record.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"
source "$QEL_SOURCE/tests/e2e/station.sh"

setup=$QEL_DIST/$QEL_PACKAGE-setup.exe
[ -f "$setup" ] || fail "no $setup: build the dist target"

# The template's C: is shared by every test; installing must not write into it. The
# windows folder stays shared (nothing is installed there), the rest is copied.
shared_c=$(readlink "$WINEPREFIX/dosdevices/c:")
mkdir -p "$WINEPREFIX/drive_c"
for entry in "$shared_c"/*; do
  if [ "$(basename "$entry")" = windows ]; then
    ln -s "$entry" "$WINEPREFIX/drive_c/windows"
  else
    cp -a "$entry" "$WINEPREFIX/drive_c/"
  fi
done
ln -sfn "$WINEPREFIX/drive_c" "$WINEPREFIX/dosdevices/c:"

# The installer writes its entry in the registry view of its architecture.
if [ "$QEL_ARCH" = win64 ]; then
  program_files="Program Files" view=/reg:64
else
  program_files="Program Files (x86)" view=/reg:32
fi
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\QEL Station'
STATION="$WINEPREFIX/drive_c/$program_files/QEL Station"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/QEL Station"
shipped=(qel.exe qel_link.exe chanprobe.exe lumo.dll qelreport.exe busy_status.bmp busy_status.gif
  README.txt)

# uninstall_entry: the entry's values; fails when there is none.
uninstall_entry() { wine reg query "$uninstall_key" "$view" 2>/dev/null | tr -d '\r'; }
entry_gone() { ! wine reg query "$uninstall_key" "$view" >/dev/null 2>&1; }

wine "$setup" /S >"$RUN_DIR/setup.log" 2>&1 || fail "the silent install failed"
for file in "${shipped[@]}" uninstall.exe; do
  [ -f "$STATION/$file" ] || fail "not installed: $program_files/QEL Station/$file"
done
for link in qel.lnk chanprobe.lnk; do
  [ -f "$menu/$link" ] || fail "no Start-menu shortcut $link"
done
entry=$(uninstall_entry)
expect_contains "uninstall entry" 'DisplayVersion    REG_SZ    1.1.0' "$entry"
expect_contains "uninstall entry" 'uninstall.exe" /S' "$entry"

# One cycle with what was installed: the programming tool is the test's own.
mkdir -p "$RECORDS"
map_drive d "$RECORDS"
cp "$QEL_BIN/progtool.exe" "$STATION/"
station_settings
plan pass pass pass pass
start_devices "$SIM_SCRIPTS/pass.txt"
start_station
set_qr_codes QI01 QI02 QI03 QI04
close_clamp
wait_cycle_end
expect_lamps "allpass=1 fail=0"
expect_file "programming result record" "$(program_record)" '%s\r\n' "1#QRQI01 写入成功" \
  "2#QRQI02 写入成功" "3#QRQI03 写入成功" "4#QRQI04 写入成功"
qel_close
wait_until 20 "the installed bridges to close" none_running qel_link.exe
# The installed report program reads the cycle's records.
wine "$STATION/qelreport.exe" --out "$(win_path "$RUN_DIR/report")" 'D:\xlog.data' \
  >"$RUN_DIR/qelreport.log" 2>&1 || fail "qelreport.exe failed: $(tail -n 3 "$RUN_DIR/qelreport.log")"
[ -s "$RUN_DIR/report/report.html" ] || fail "qelreport.exe wrote no report.html"
grep -q '"records": *4' "$RUN_DIR/report/summary.json" ||
  fail "the report does not count the cycle's four station records"
rm "$STATION/progtool.exe"
records=$(record_count)

# The uninstaller runs from a copy of itself, so its end is seen by what it removes.
wine "$STATION/uninstall.exe" /S >"$RUN_DIR/uninstall.log" 2>&1 || fail "the silent uninstall failed"
wait_until 30 "the program folder, the uninstaller's last step, to be removed" test ! -e "$STATION"
entry_gone || fail "the uninstall entry is still there"
[ ! -e "$menu" ] || fail "the Start-menu folder is still there"
expect_eq "records after uninstalling" "$records" "$(record_count)"
expect_eq "stored tester port after uninstalling" "REG_DWORD 0x3" "$(reg_value port_qel)"
echo "install test passed"
