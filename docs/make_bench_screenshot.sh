#!/usr/bin/env bash
# Takes the README's screenshot of the receipt bench's page: qrticket-view --listen --web on
# loopback, two receipts sent to it (a default ticket and a third-party receipt), the page
# photographed by headless Chromium. Usage: docs/make_bench_screenshot.sh [BUILD_DIR] [OUTPUT]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
output=$(realpath -m "${2:-docs/bench-page.png}")
work=$(mktemp -d)
view_pid=""
cleanup() {
  [ -n "$view_pid" ] && kill "$view_pid" 2>/dev/null && wait "$view_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

"$build/viewer/qrticket-view" --listen 127.0.0.1:0 --web 127.0.0.1:0 >"$work/out.txt" &
view_pid=$!
for _ in $(seq 100); do grep -q 'http://' "$work/out.txt" && break; sleep 0.05; done
printer=$(grep -o 'tcp://[0-9.:]*' "$work/out.txt" | head -1)
page=$(grep -o 'http://[0-9.:]*/' "$work/out.txt" | head -1)
"$build/cli/qrticket" --device "$printer" --text "Bancada de talões" >/dev/null
python3 - "${printer#tcp://}" tests/viewer/fixtures/rpe-receipt.bin <<'PY'
import socket, sys
host, port = sys.argv[1].rsplit(":", 1)
with socket.create_connection((host, int(port)), timeout=10) as c:
    c.sendall(open(sys.argv[2], "rb").read())
    c.shutdown(socket.SHUT_WR)
    c.recv(1)
PY
sleep 0.5
# Through the DevTools protocol, as the page's test drives it: a plain --screenshot stops the
# page's loading at its time-out, before the list has come.
python3 - "$page" "$output" "$work" <<'PY'
import base64, importlib.util, os, subprocess, sys, time
spec = importlib.util.spec_from_file_location("page_test", "tests/viewer/web_page_test.py")
page_test = importlib.util.module_from_spec(spec)
spec.loader.exec_module(page_test)
page, output, work = sys.argv[1:]
to_read, to_write = os.pipe()
from_read, from_write = os.pipe()
to_read, from_write = page_test.high_descriptor(to_read), page_test.high_descriptor(from_write)
browser = subprocess.Popen(
    ["bash", "-c", 'exec "$0" "$@" 3<&%d 4>&%d %d<&- %d>&-' % (to_read, from_write, to_read, from_write),
     "chromium", "--headless=new", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
     "--user-data-dir=" + work + "/profile", "--remote-debugging-pipe", "about:blank"],
    pass_fds=(to_read, from_write), stderr=subprocess.DEVNULL)
os.close(to_read)
os.close(from_write)
tools = page_test.DevTools(to_write, from_read)
target = tools.call("Target.createTarget", {"url": "about:blank"}, session=False)
tools.session = tools.call("Target.attachToTarget", {"targetId": target["targetId"], "flatten": True},
                           session=False)["sessionId"]
tools.call("Emulation.setDeviceMetricsOverride",
           {"width": 1100, "height": 1250, "deviceScaleFactor": 1, "mobile": False})
tools.call("Page.navigate", {"url": page})
tools.wait_for("document.querySelectorAll('.recibo img').length === 2 && "
               "[...document.querySelectorAll('.recibo img')].every(i => i.complete)", "both receipts")
shot = tools.call("Page.captureScreenshot", {"format": "png"})
with open(output, "wb") as f:
    f.write(base64.b64decode(shot["data"]))
browser.terminate()
browser.wait(timeout=10)
PY
echo "$output"
