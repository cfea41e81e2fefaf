#!/usr/bin/env bash
# qrticket-view --web on every address warns that the page has no password; on loopback it
# does not. Run in a network namespace of its own (unshare -n, as root), so the page bound to
# every address is reachable from nowhere. Exit 77 (skipped) where no namespace can be made.
# Usage: web_warning_test.sh QRTICKET_VIEW WORK_DIR
set -uo pipefail
view=$1 work=$2
rm -rf "$work" && mkdir -p "$work"
if ! unshare -n true 2>/dev/null; then
  echo "SKIPPED: no network namespace (unshare -n needs root)"
  exit 77
fi

# run ADDRESS: starts the program in a fresh namespace for a second, stderr into $work/err.
run() {
  unshare -n bash -c 'ip link set lo up && exec timeout -s TERM 1.5 "$0" --listen 127.0.0.1:0 --web "$1"' \
    "$view" "$1" >"$work/out" 2>"$work/err"
}

fail() { echo "FAIL: $*"; echo "--- stdout"; cat "$work/out"; echo "--- stderr"; cat "$work/err"; exit 1; }

run 0.0.0.0:0
grep -q '^qrticket-view: página da bancada em http://0\.0\.0\.0:[0-9]*/$' "$work/out" || fail "no page line"
grep -q 'http://0\.0\.0\.0:[0-9]*/ não tem palavra-passe' "$work/err" || fail "no warning on every address"

run 127.0.0.1:0
grep -q '^qrticket-view: página da bancada em http://127\.0\.0\.1:[0-9]*/$' "$work/out" || fail "no page line"
[ ! -s "$work/err" ] || fail "a warning on loopback"
echo PASS
