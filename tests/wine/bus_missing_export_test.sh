# A bus library that lacks one of the nine entry points leaves the client unbound and
# the library unloaded; posting is then a harmless no-op.
source "$QEL_SOURCE/tests/wine/harness.sh"

dir=$RUN_DIR/app
mkdir -p "$dir"
cp "$QEL_BIN/buspeer.exe" "$dir/"
cp "$QEL_BIN/lumo_missing_export.dll" "$dir/lumo.dll"
QEL_BIN=$dir start_peer lonely "peer lonely" 0x200 lonely
expect_log "$RUN_DIR/lonely.peer" "load 0 module 0"
peer lonely bindtext 0xFF squeezed
peer lonely info 129
expect_log "$RUN_DIR/lonely.peer" "info 129 NULL"
peer lonely quit

# And the whole library still binds.
cp "$QEL_BIN/lumo.dll" "$dir/lumo.dll"
QEL_BIN=$dir start_peer bound "peer bound" 0x200 bound
expect_log "$RUN_DIR/bound.peer" "load 1 module 1"
peer bound quit
echo "missing export test passed"
