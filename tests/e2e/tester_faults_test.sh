# A tester that misbehaves on its text link, with the real station around it:
# - output before the start command, line ends of LF alone, a line longer than the bridge
#   keeps, and a line holding GBK text and a NUL byte: the cycle passes, the tester record
#   holds the run as the controller reads each line (the first 2047 bytes of the long line,
#   the GBK text as UTF-8, a line cut at its NUL), and the stray output is not in it;
# - line ends of CR alone: no line ever ends, so the run ends as a tester without its end
#   marker does, with "qel_paralyzed" and nothing recorded.
source "$QEL_SOURCE/tests/wine/harness.sh"
source "$QEL_SOURCE/tests/wine/qel_lib.sh"
source "$QEL_SOURCE/tests/e2e/station.sh"

station_up "$SIM_SCRIPTS/pass.txt"

# hex <text>: the bytes of the text as hex pairs.
hex() { printf '%s' "$1" | od -An -tx1 | tr -d '\n'; }
tester raw "$(hex 'stray line before the start') 0D 0A"
expect_line $PROGRESS "stray line before the start"
tester eol lf
tester long 3000
tester insert "$(hex 'GBK ') D6 D0 CE C4 $(hex ' A') 00 $(hex 'B')"

set_qr_codes QJ01 QJ02 QJ03 QJ04
close_clamp
wait_cycle_end
expect_lamps "allpass=1 fail=0"
expected=$RUN_DIR/expected_run.txt
{
  seq 0 2046 | awk '{ printf "%d", $1 % 10 }'
  printf '\nGBK 中文 A\n'
  cat "$SIM_SCRIPTS/pass.txt"
} >"$expected"
expect_tester_record "$expected"
expect_file "station 2 record" "$(station_record QJ02)" '\r\n%s\r\n%s\r\n%s' \
  "2# PASS R1=9.970kOhm range=9.500___10.500" \
  "2# PASS C3=99.200nF range=90.000___110.000" \
  "2# PASS VCC=3.290V range=3.150___3.450"
records=$(record_count)

open_clamp
tester eol cr
set_qr_codes QJ11 QJ12 QJ13 QJ14
close_clamp
expect_line $PROGRESS qel_paralyzed 40
expect_eq "records written by a run whose lines never end" "$records" "$(record_count)"
expect_eq "programming runs left" 0 "$(plan_left)"
echo "tester faults test passed"
