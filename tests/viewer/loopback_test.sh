#!/usr/bin/env bash
# End to end on loopback: qrticket sends a ticket to tcp://127.0.0.1:PORT, qrticket-view
# --listen draws it, zbarimg scans the PNG back to the text. Every wait is bounded.
# Usage: loopback_test.sh QRTICKET QRTICKET_VIEW WORKDIR
set -euo pipefail
qrticket=$1 viewer=$2 work=$3
rm -rf "$work" && mkdir -p "$work/out"
log=$work/listen.log

"$viewer" --listen 127.0.0.1:0 --out "$work/out" >"$log" 2>&1 &
pid=$!
trap 'kill -TERM $pid 2>/dev/null || true' EXIT

wait_for() {  # wait_for PATTERN: up to 10 s for PATTERN in the log
  for _ in $(seq 100); do
    grep -q "$1" "$log" && return 0
    sleep 0.1
  done
  echo "timed out waiting for '$1'; log:"; cat "$log"; return 1
}

wait_for "a escutar em"
port=$(sed -n 's/.*a escutar em 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$log")
text='loopback: Olá via tcp'
"$qrticket" --device "tcp://127.0.0.1:$port" --text "$text" --timeout 10
wait_for "trabalho 1:"
kill -TERM $pid
for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
wait $pid
trap - EXIT
grep -q "parado" "$log"
grep -q "versão 2, nível M" "$log" || { cat "$log"; exit 1; }

# zbarimg turns Windows-1252 into UTF-8 when it guesses; --raw gives the text only.
scanned=$(zbarimg --quiet --raw "$work/out/ticket-0001.png" 2>/dev/null)
if [ "$scanned" != "$text" ]; then
  echo "scanned '$scanned', expected '$text'"; exit 1
fi
echo "ok: $scanned"
