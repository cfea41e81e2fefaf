#!/usr/bin/env bash
# End to end on loopback: qrticket-view --listen prints where it listens, qrticket sends a
# ticket to tcp:// followed by exactly that address, the listener draws it and zbarimg scans
# the PNG back to the text. Every wait is bounded.
# Usage: loopback_test.sh QRTICKET QRTICKET_VIEW WORKDIR [LISTEN_ADDRESS]
set -euo pipefail
qrticket=$1 viewer=$2 work=$3 listen=${4:-127.0.0.1:0}
rm -rf "$work" && mkdir -p "$work/out"
log=$work/listen.log

"$viewer" --listen "$listen" --out "$work/out" >"$log" 2>&1 &
pid=$!
trap 'kill -TERM $pid 2>/dev/null || true' EXIT

wait_for() {  # wait_for PATTERN: up to 10 s for PATTERN in the log
  for _ in $(seq 100); do
    grep -q "$1" "$log" && return 0
    kill -0 $pid 2>/dev/null || break  # the listener ended: no use waiting
    sleep 0.1
  done
  echo "timed out waiting for '$1'; log:"; cat "$log"; return 1
}

# The address counts once the space after it is written too.
wait_for "a escutar em [^ ]* " || {
  # A machine without that loopback address (IPv6 switched off) cannot run this case.
  if grep -q "não foi possível escutar" "$log"; then echo "skipped: $(cat "$log")"; exit 77; fi
  exit 1
}
address=$(sed -n 's/.*a escutar em \([^ ]*\).*/\1/p' "$log")
text='loopback: Olá via tcp'
"$qrticket" --device "tcp://$address" --text "$text" --timeout 10
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
