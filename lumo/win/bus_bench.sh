# Runs the bus benchmark under Wine (through tests/wine/run, for its prefix and display).
source "$QEL_SOURCE/tests/wine/harness.sh"
cd "$QEL_BIN" && wine ./bus_bench.exe
