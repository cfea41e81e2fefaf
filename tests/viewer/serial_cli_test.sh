#!/usr/bin/env bash
# End to end on a pseudo-terminal: qrticket-view --serial 38400 as the printer; qrticket finds
# its speed, prints a ticket at it (drawn, with its QR symbol) and at 9600 (junk, the report
# says the speeds differ), asks its status with and without settings, and leaves the line at
# the printer's own settings (a status request without settings still answers afterwards).
# Usage: serial_cli_test.sh QRTICKET QRTICKET_VIEW WORKDIR
set -euo pipefail
qrticket=$1 viewer=$2 work=$3
rm -rf "$work" && mkdir -p "$work/out"
fail() { echo "FAIL: $*"; cat "$work/view.log" 2>/dev/null; exit 1; }

"$viewer" --serial 38400 --out "$work/out" >"$work/view.log" 2>&1 &
pid=$!
trap 'kill -TERM $pid 2>/dev/null || true' EXIT
for _ in $(seq 100); do grep -q "impressora série em" "$work/view.log" && break; sleep 0.05; done
line=$(sed -n 's/.*impressora série em \(\/dev\/pts\/[0-9]*\) a .*/\1/p' "$work/view.log")
[ -n "$line" ] || fail "no line"

# jobs N: waits (bounded) until the printer has finished N jobs.
jobs() {
  for _ in $(seq 100); do
    [ "$(grep -c '^trabalho \|^ligação de' "$work/view.log")" -ge "$1" ] && return; sleep 0.05
  done
  fail "job $1 never finished"
}

found=$("$qrticket" --device "$line" --find-speed 2>"$work/find.err") || fail "find: $(cat "$work/find.err")"
[ "$found" = "$line:38400,n,8,1" ] || fail "found '$found'"
grep -q "pode imprimir alguns caracteres soltos" "$work/find.err" || fail "no warning"
echo "ok: --find-speed -> $found"
jobs 1

"$qrticket" --device "$found" || fail "ticket at $found"
jobs 2
tail -n +1 "$work/out/ticket-0002.txt" | grep -q "QR (GS ( k)" || fail "no symbol in the ticket"
grep -q "velocidades não coincidem" "$work/out/ticket-0002.txt" && fail "mismatch at its own speed"
echo "ok: ticket at $found drawn with its symbol"

"$qrticket" --device "$line:9600" || fail "ticket at 9600"
jobs 3
grep -q "as velocidades não coincidem: [0-9]* bytes chegaram com a linha a 9600 bit/s e a impressora está a 38400 bit/s" \
  "$work/out/ticket-0003.txt" || fail "no mismatch: $(cat "$work/out/ticket-0003.txt")"
grep -q "QR (GS ( k)" "$work/out/ticket-0003.txt" && fail "a symbol from junk"
echo "ok: ticket at 9600 drawn as junk"

code=0; "$qrticket" --device "$line:9600" --status >/dev/null 2>"$work/status.err" || code=$?
[ "$code" = 1 ] && grep -q "não respondeu" "$work/status.err" || fail "status at 9600: $code"
"$qrticket" --device "$line" --status | grep -qx "pronta a imprimir" || fail "status at its own"
echo "ok: status only at its own speed, and the line is back at it"

code=0; "$viewer" --serial 12x00 --out "$work/out" 2>"$work/bad.err" || code=$?
[ "$code" = 2 ] && grep -q "^qrticket-view: --serial: velocidade inválida: 12x00" "$work/bad.err" ||
  fail "--serial 12x00: $code $(cat "$work/bad.err")"
echo "ok: --serial 12x00 refused"

# DTR/DSR flow: qrticket refuses it on a pseudo-terminal (no DSR to read), so the printer
# neither takes it nor suggests a name with it.
for flow in d p; do
  code=0; "$viewer" --serial "19200,n,8,1,$flow" --out "$work/out" >"$work/dsr.out" 2>"$work/dsr.err" || code=$?
  [ "$code" = 2 ] && grep -q "^qrticket-view: --serial: um pseudo-terminal não indica o sinal DSR" "$work/dsr.err" &&
    ! grep -q "qrticket --device" "$work/dsr.out" "$work/dsr.err" ||
    fail "--serial 19200,n,8,1,$flow: $code $(cat "$work/dsr.out" "$work/dsr.err")"
done
echo "ok: --serial with DTR/DSR flow refused"

kill -TERM $pid && wait $pid || fail "the printer did not stop cleanly"
trap - EXIT
grep -q "qrticket-view: parado" "$work/view.log" || fail "not stopped"
echo "ok: stopped"
