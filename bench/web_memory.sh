#!/usr/bin/env bash
# Memory of qrticket-view --listen --web holding 200 full receipts (aim: under 200 MiB): the
# process's resident set (VmRSS) and its peak (VmHWM) after 200 long receipts (a third-party
# receipt and a ticket of 60 QR symbols and 400 lines, one after the other), with a page's
# event stream open and the JSON list read; then after 50 more, which push the oldest out.
# Usage: bench/web_memory.sh [BUILD_DIR]   (needs qrticket-view built)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build-test}")
view="$build/viewer/qrticket-view"
[ -x "$view" ] || { echo "missing $view: cmake --build $build --target qrticket-view" >&2; exit 2; }
work=$(mktemp -d)
view_pid=""
cleanup() {
  [ -n "$view_pid" ] && kill "$view_pid" 2>/dev/null && wait "$view_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

"$view" --listen 127.0.0.1:0 --web 127.0.0.1:0 >"$work/out.txt" 2>"$work/err.txt" &
view_pid=$!
for _ in $(seq 100); do grep -q 'http://' "$work/out.txt" && break; sleep 0.05; done
printer=$(grep -o 'tcp://[0-9.:]*' "$work/out.txt" | head -1 | sed 's|tcp://||')
page=$(grep -o 'http://[0-9.:]*/' "$work/out.txt" | head -1)
[ -n "$printer" ] && [ -n "$page" ] || { cat "$work/out.txt" "$work/err.txt" >&2; exit 1; }

python3 - "$printer" "$page" "$view_pid" "tests/viewer/fixtures/rpe-receipt.bin" <<'PY'
import socket, sys, time, urllib.request
printer, page, pid, fixture = sys.argv[1:]
host, port = printer.rsplit(":", 1)

def long_ticket(n):
    out = bytearray(b"\x1b@")
    for i in range(60):
        text = ("recibo %d, simbolo %d " % (n, i)).encode() * 4
        size = len(text) + 3
        out += b"\x1d(k" + bytes([size & 0xFF, size >> 8]) + b"1P0" + text
        out += b"\x1d(k\x03\x001Q0\n"
    for i in range(400):
        out += ("linha %d do recibo %d: 1 x artigo ........ 9,99 EUR\n" % (i, n)).encode()
    return bytes(out) + b"\x1dV\x00"

def send(job):
    with socket.create_connection((host, int(port)), timeout=30) as c:
        c.sendall(job)
        c.shutdown(socket.SHUT_WR)
        c.recv(1)

def memory():
    values = {}
    with open("/proc/%s/status" % pid) as f:
        for line in f:
            key, _, rest = line.partition(":")
            if key in ("VmRSS", "VmHWM"):
                values[key] = int(rest.split()[0]) / 1024
    return values

def count():
    with urllib.request.urlopen(page + "api/receipts", timeout=30) as answer:
        return answer.read().count(b'{"id":')

stream = urllib.request.urlopen(page + "api/events", timeout=30)  # a page following the stream
receipt = open(fixture, "rb").read()
jobs = [receipt, long_ticket(0)]
print("job sizes: %d and %d bytes" % (len(jobs[0]), len(jobs[1])))
start = time.monotonic()
for n in range(200):
    send(jobs[n % 2] if n % 2 == 0 else long_ticket(n))
while count() < 200 and time.monotonic() - start < 300:
    time.sleep(0.1)
m = memory()
print("200 receipts held: %d listed, VmRSS %.1f MiB, peak VmHWM %.1f MiB (%.1f s)"
      % (count(), m["VmRSS"], m["VmHWM"], time.monotonic() - start))
for n in range(200, 250):
    send(long_ticket(n))
time.sleep(0.5)
m = memory()
print("after 50 more:      %d listed, VmRSS %.1f MiB, peak VmHWM %.1f MiB"
      % (count(), m["VmRSS"], m["VmHWM"]))
print("aim: peak under 200 MiB -> %s" % ("met" if m["VmHWM"] < 200 else "NOT MET"))
stream.close()
PY
