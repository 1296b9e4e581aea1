#!/usr/bin/env bash
# report.html of a generated line, opened in headless Chromium: every figure the page shows
# (cells marked data-k) must equal the same figure in summary.json, and the sorting script
# must have run. Keeps the DOM, a screenshot and Chromium's log in the output folder.
# Arguments: <gen_records> <qelreport> <output folder>
set -uo pipefail
gen=$1 qelreport=$2 out=$3
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

command -v chromium >/dev/null || fail "chromium is not installed; scripts/setup installs it"
rm -rf "$out" && mkdir -p "$out" || fail "cannot make $out"
"$gen" --out "$out/line" --days 2 --cycles-per-day 60 --seed 3 >"$out/gen.log" ||
  fail "gen_records failed: $(cat "$out/gen.log")"
"$qelreport" --out "$out/report" "$out"/line/ST*/xlog.data >"$out/qelreport.log" 2>&1 ||
  fail "qelreport failed: $(cat "$out/qelreport.log")"

page="file://$out/report/report.html"
# chromium <profile> <arguments...>: one headless run with a fresh profile and no network.
chromium_run() {
  local profile=$1
  shift
  timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
    --disable-component-update --disable-sync --no-first-run --enable-logging=stderr --v=0 \
    --user-data-dir="$out/$profile" "$@"
}
chromium_run profile-dom --dump-dom "$page" >"$out/dom.html" 2>"$out/chromium-dom.log" ||
  fail "chromium could not load the page; see $out/chromium-dom.log"
chromium_run profile-shot --window-size=1280,3000 --screenshot="$out/report.png" "$page" \
  >/dev/null 2>"$out/chromium-shot.log" || fail "no screenshot; see $out/chromium-shot.log"
[ -s "$out/report.png" ] || fail "the screenshot $out/report.png is empty"
! grep -q 'Uncaught' "$out/chromium-dom.log" ||
  fail "the page's script failed: $(grep 'Uncaught' "$out/chromium-dom.log")"

python3 "$here/check_page.py" "$out/dom.html" "$out/report/summary.json" || exit 1
echo "page in chromium: figures match summary.json; screenshot $out/report.png"
