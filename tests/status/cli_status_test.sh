#!/usr/bin/env bash
# End to end on loopback: qrticket --status and --check-status against qrticket-view --listen
# --simulate STATE, one virtual printer per state; exit codes, the lines printed, and that a
# refused ticket leaves no picture. Every wait is bounded.
# Usage: cli_status_test.sh QRTICKET QRTICKET_VIEW WORKDIR
set -euo pipefail
qrticket=$1 viewer=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
pids=()
trap 'for p in "${pids[@]}"; do kill -TERM "$p" 2>/dev/null || true; done' EXIT

fail() { echo "FAIL: $*"; exit 1; }

# start STATE: a virtual printer in that state; sets $port and $out.
start() {
  local state=$1 log=$work/$1.log
  out=$work/out-$1
  mkdir -p "$out"
  local simulate=()
  [ "$state" = ready ] || simulate=(--simulate "$state")
  "$viewer" --listen 127.0.0.1:0 --out "$out" "${simulate[@]}" >"$log" 2>&1 &
  pids+=($!)
  # The line may still be half written when it first shows: wait for the number itself.
  port=
  for _ in $(seq 100); do
    port=$(sed -n 's/.*a escutar em 127\.0\.0\.1:\([0-9][0-9]*\)[^0-9].*/\1/p' "$log")
    [ -n "$port" ] && break
    sleep 0.1
  done
  [ -n "$port" ] || fail "$state: no port; $(cat "$log")"
}

# expect_status STATE CODE PATTERN...: --status exits with CODE and prints every PATTERN line.
expect_status() {
  local state=$1 code=$2; shift 2
  start "$state"
  local got=0 begin end
  begin=$(date +%s%N)
  "$qrticket" --device "tcp://127.0.0.1:$port" --status >"$work/$state.out" 2>"$work/$state.err" || got=$?
  end=$(date +%s%N)
  [ "$got" = "$code" ] || fail "$state: exit $got, expected $code; $(cat "$work/$state.out" "$work/$state.err")"
  for line in "$@"; do
    grep -qx -- "$line" "$work/$state.out" "$work/$state.err" 2>/dev/null ||
      grep -q -- "$line" "$work/$state.err" ||
      fail "$state: no line '$line' in: $(cat "$work/$state.out" "$work/$state.err")"
  done
  [ $(( (end - begin) / 1000000 )) -lt 8000 ] || fail "$state: took too long"
  echo "ok: --status $state -> $got"
}

expect_status cover-open 1 "fora de linha" "tampa aberta" "não está pronta: fora de linha, tampa aberta"
expect_status ready 0 "fabricante: qrticket" "modelo: qrticket-view" "em linha" "tampa fechada" \
  "papel presente" "pronta a imprimir"
expect_status paper-out 1 "sem papel" "não está pronta: fora de linha, sem papel"
expect_status paper-near-end 0 "papel a acabar" "pronta a imprimir"
expect_status offline 1 "não está pronta: fora de linha"
expect_status silent 1 "Falha ao pedir o estado: a impressora não respondeu"

# --check-status: refused before the ticket, nothing drawn.
start paper-out
code=0
"$qrticket" --device "tcp://127.0.0.1:$port" --check-status 2>"$work/check.err" || code=$?
[ "$code" = 1 ] || fail "check-status paper-out: exit $code"
grep -q "não está pronta (fora de linha, sem papel); nada foi impresso" "$work/check.err" ||
  fail "check-status paper-out: $(cat "$work/check.err")"
sleep 0.5
[ -z "$(ls "$out")" ] || fail "check-status paper-out: a ticket was drawn: $(ls "$out")"
echo "ok: --check-status refuses a printer without paper"

# --check-status on a ready printer: the ticket is drawn.
start ready
"$qrticket" --device "tcp://127.0.0.1:$port" --check-status
for _ in $(seq 50); do [ -e "$out/ticket-0001.png" ] && break; sleep 0.1; done
[ -e "$out/ticket-0001.png" ] || fail "check-status ready: no ticket drawn"
echo "ok: --check-status prints on a ready printer"

# Outputs without a way back, and usage errors.
code=0
"$qrticket" --device "$work/ticket.bin" --status 2>"$work/file.err" || code=$?
[ "$code" = 1 ] && grep -q "sem canal de retorno" "$work/file.err" || fail "file: $code $(cat "$work/file.err")"
[ ! -e "$work/ticket.bin" ] || fail "file: --status created the file"
code=0; "$qrticket" --device x --status --text abc 2>/dev/null || code=$?
[ "$code" = 2 ] || fail "--status --text: exit $code"
code=0; "$qrticket" --device x --status --check-status 2>/dev/null || code=$?
[ "$code" = 2 ] || fail "--status --check-status: exit $code"
code=0; "$viewer" in.bin -o out.png --simulate silent 2>/dev/null || code=$?
[ "$code" = 2 ] || fail "--simulate without --listen: exit $code"
code=0; "$viewer" --listen 0 --out "$work" --simulate on-fire 2>/dev/null || code=$?
[ "$code" = 2 ] || fail "--simulate on-fire: exit $code"
echo "ok: no way back and usage errors"
