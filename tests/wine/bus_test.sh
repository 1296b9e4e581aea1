# The bus across real processes: payloads, values, masks, info texts, dead clients.
source "$QEL_SOURCE/tests/wine/harness.sh"

start_peer alpha "peer alpha" 0x200 alpha
start_peer beta "peer beta" 0x600 beta
start_peer gamma "peer gamma" 0x400 gamma
A=$RUN_DIR/alpha.peer B=$RUN_DIR/beta.peer C=$RUN_DIR/gamma.peer

# Text: exact bytes, length without terminator, a zero byte after them.
peer alpha text 0x200002FF squeezed
expect_log "$B" "recv TYPE=200002FF LEN=8 DATA=squeezed ZERO=1"
peer alpha text 0x100002FF 第一行
expect_log "$B" "recv TYPE=100002FF LEN=9 DATA=\xE7\xAC\xAC\xE4\xB8\x80\xE8\xA1\x8C ZERO=1"
peer alpha text 0x200002FF
expect_log "$B" "recv TYPE=200002FF LEN=0 DATA= ZERO=1"

# Array: to both array takers; the text-only peer does not see it.
peer alpha bytes 0x10000400 01 06 00 12 00 80 00 FF
expect_log "$B" "recv TYPE=10000400 LEN=8 DATA=\x01\x06\x00\x12\x00\x80\x00\xFF ZERO=1"
expect_log "$C" "recv TYPE=10000400 LEN=8 DATA=\x01\x06\x00\x12\x00\x80\x00\xFF ZERO=1"

# A single value arrives in lParam; Read Para text carries a value too.
peer beta register 0x4600 beta
peer_sync beta
peer alpha value 0x10004005 -1
expect_log "$B" "recv TYPE=10004005 VALUE=-1"
peer alpha value 0x400002FF 77
expect_log "$B" "recv TYPE=400002FF VALUE=77"

# Through the binding: the channel is cut to 8 bits (0x1FF posts on 0xFF).
peer alpha bindtext 0x1FF powering_down
expect_log "$B" "recv TYPE=200002FF LEN=13 DATA=powering_down ZERO=1"

# Masks filter: gamma (0x400) saw no text; the sender never sees its own posts.
peer_sync gamma
expect_no_log "$C" "TYPE=200002FF"
peer_sync alpha
expect_no_log "$A" "recv"

# 64 KiB goes through; one byte more is refused and nothing arrives.
peer alpha big 0x200002FF 65536
wait_until 20 "the 64 KiB payload" grep -q '^recv TYPE=200002FF LEN=65536 ' "$B"
peer alpha big 0x200002FF 65537
expect_log "$A" "posted 0"
peer_sync beta
[ "$(grep -c 'LEN=6553' "$B")" = 1 ] || fail "the refused payload was delivered"

# A forged handle or one fetched outside a handler's payload gives null with count 0.
peer beta fetch 0xDEADBEEF
expect_log "$B" "fetch null COUNT=0"

# Public variables, named strings and the client list in the info texts.
peer alpha setstr ver_qel_link 1.0.0.1
peer alpha setvar 3 42
peer alpha info 130
wait_until 20 "info 130" grep -q '^info 130 ' "$A"
expect_contains "info 130" 'ver_qel_link=1.0.0.1\r\n' "$(grep '^info 130 ' "$A")"
expect_contains "info 130" '03=42\r\n' "$(grep '^info 130 ' "$A")"
peer alpha info 127
expect_log "$A" "info 127 1.0.0"
peer alpha info 129
wait_until 20 "info 129" grep -q '^info 129 ' "$A"
clients=$(grep '^info 129 ' "$A")
for p in alpha beta gamma; do
  hwnd=$(sed -n 's/^ready HWND=//p' "$RUN_DIR/$p.peer")
  expect_contains "client list" "$hwnd $p 0x" "$clients"
done

# A client whose process is killed disappears from the list, and posting goes on.
pkill -9 -f 'buspeer.exe peer gamma' || fail "could not kill the gamma peer"
# Wine destroys a killed process's windows a moment later; a post before that still counts
# as delivered, and the client is dropped only at a post that fails.
ui gone "peer gamma" 20000 || fail "the killed peer's window is still there"
peer alpha bytes 0x10000400 02
expect_log "$B" "recv TYPE=10000400 LEN=1 DATA=\x02 ZERO=1"
peer alpha info 129
wait_until 20 "a client list without gamma" bash -c "grep '^info 129 ' '$A' | tail -n1 | grep -qv gamma"
peer alpha info 131
wait_until 20 "info 131" grep -q '^info 131 ' "$A"
expect_contains "statistics" 'dropped 1' "$(grep '^info 131 ' "$A")"

# A process that dies holding the bus lock stalls the others only until one of them finds
# its holder gone.
wine "$QEL_BIN/lock_holder.exe" >"$RUN_DIR/lock_holder.log" 2>&1 ||
  fail "lock holder: $(cat "$RUN_DIR/lock_holder.log")"
expect_contains "lock holder" "holding the bus lock" "$(cat "$RUN_DIR/lock_holder.log")"
peer alpha text 0x200002FF after_the_holder_died
expect_log "$B" "recv TYPE=200002FF LEN=21 DATA=after_the_holder_died ZERO=1"

# The same when its thread id has meanwhile gone to a living thread of another process.
wine "$QEL_BIN/lock_holder.exe" >"$RUN_DIR/lock_holder2.log" 2>&1 ||
  fail "lock holder: $(cat "$RUN_DIR/lock_holder2.log")"
tid=$(sed -n 's/^holding the bus lock as thread \([0-9]*\).*/\1/p' "$RUN_DIR/lock_holder2.log")
mkfifo "$RUN_DIR/taker.in"
wine "$QEL_BIN/thread_id_taker.exe" "$tid" <"$RUN_DIR/taker.in" >"$RUN_DIR/taker.log" 2>&1 &
taker=$!
exec {taker_fd}>"$RUN_DIR/taker.in"
wait_until 30 "a thread of another process with id $tid" grep -q 'taken' "$RUN_DIR/taker.log"
peer alpha text 0x200002FF past_a_reused_id
expect_log "$B" "recv TYPE=200002FF LEN=16 DATA=past_a_reused_id ZERO=1"
exec {taker_fd}>&-
wait "$taker" || fail "thread id taker: $(cat "$RUN_DIR/taker.log")"

peer alpha quit
peer beta quit
echo "bus test passed"
