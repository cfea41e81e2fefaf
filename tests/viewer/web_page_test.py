#!/usr/bin/env python3
"""The receipt bench's page in a real headless Chromium: the page is opened first, then a
ticket is sent to the network printer, and the receipt must appear without a reload (a mark
left in the page survives) above the one received before the page was opened, its picture decoding (zbar) to the ticket's text, its bytes
downloadable as sent, the job's <script> text shown as text and never run; then the page's
button empties the list.

Chromium is driven over its DevTools protocol on a pipe (--remote-debugging-pipe: JSON
messages ending in NUL on descriptors 3 and 4), so no WebSocket client is needed.

Usage: web_page_test.py QRTICKET QRTICKET_VIEW WORK_DIR
Exit 77 (skipped) only when chromium is not installed."""

import fcntl
import json
import os
import re
import select
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.request

SKIP = 77
TEXT = "€ Bancada <script>window.atacado=1</script>"


def fail(message):
    print("FAIL: " + message, flush=True)
    sys.exit(1)


class DevTools:
    """A minimal DevTools client over Chromium's debugging pipe."""

    def __init__(self, to_browser, from_browser):
        self.to_browser = to_browser
        self.from_browser = from_browser
        self.buffer = b""
        self.next_id = 0
        self.session = None

    def _read_message(self, deadline):
        while b"\0" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                fail("Chromium did not answer in time")
            ready, _, _ = select.select([self.from_browser], [], [], left)
            if not ready:
                continue
            chunk = os.read(self.from_browser, 65536)
            if not chunk:
                fail("Chromium closed its debugging pipe")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, params=None, session=True, bound=20):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session and self.session:
            message["sessionId"] = self.session
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + bound
        while True:
            answer = self._read_message(deadline)
            if answer.get("id") == self.next_id:
                if "error" in answer:
                    fail(method + ": " + json.dumps(answer["error"]))
                return answer.get("result", {})

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True})
        if "exceptionDetails" in result:
            fail("the page's script failed on " + expression + ": " +
                 json.dumps(result["exceptionDetails"]))
        return result["result"].get("value")

    def wait_for(self, expression, what, bound=15):
        deadline = time.monotonic() + bound
        while time.monotonic() < deadline:
            if self.evaluate(expression):
                return
            time.sleep(0.05)
        fail("the page never showed " + what)


class ProgramOutput:
    """What a program has printed so far, read as it comes."""

    def __init__(self, stream):
        self.stream = stream
        self.seen = b""

    def wait_for(self, pattern, bound=15):
        deadline = time.monotonic() + bound
        while True:
            match = re.search(pattern, self.seen.decode("utf-8", "replace"))
            if match:
                return match
            if time.monotonic() > deadline:
                break
            ready, _, _ = select.select([self.stream], [], [], 0.2)
            if ready:
                chunk = os.read(self.stream.fileno(), 4096)
                if not chunk:
                    break
                self.seen += chunk
        fail("qrticket-view did not print " + pattern + "; it printed: " +
             self.seen.decode("utf-8", "replace"))


def high_descriptor(fd):
    high = fcntl.fcntl(fd, fcntl.F_DUPFD_CLOEXEC, 10)
    os.close(fd)
    return high


def send_job(address, data):
    host, port = address.rsplit(":", 1)
    with socket.create_connection((host, int(port)), timeout=10) as connection:
        connection.sendall(data)
        connection.shutdown(socket.SHUT_WR)
        connection.recv(1)  # until the printer closes


def main():
    if len(sys.argv) != 4:
        print(__doc__)
        return 2
    qrticket, viewer, work = sys.argv[1:]
    chromium = shutil.which("chromium")
    if chromium is None:
        print("SKIPPED: chromium is not installed (bash scripts/deps.sh installs it)")
        return SKIP
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)

    # The ticket, written to a file by qrticket, so the bytes sent are known.
    ticket = os.path.join(work, "ticket.bin")
    subprocess.run([qrticket, "--device", ticket, "--text", TEXT], check=True, timeout=30,
                   stdout=subprocess.DEVNULL)
    with open(ticket, "rb") as f:
        job = f.read()

    printer = subprocess.Popen([viewer, "--listen", "127.0.0.1:0", "--web", "127.0.0.1:0"],
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    browser = None
    try:
        output = ProgramOutput(printer.stdout)
        listening = output.wait_for(r"tcp://(127\.0\.0\.1:\d+)")
        page = output.wait_for(r"página da bancada em (http://127\.0\.0\.1:\d+/)")
        printer_address, page_url = listening.group(1), page.group(1)

        to_browser_read, to_browser_write = os.pipe()
        from_browser_read, from_browser_write = os.pipe()
        # The child's ends above 9, so that putting them at 3 and 4 overwrites neither.
        to_browser_read = high_descriptor(to_browser_read)
        from_browser_write = high_descriptor(from_browser_write)
        profile = tempfile.mkdtemp(dir=work)
        # The child gets our pipe ends as its descriptors 3 (commands) and 4 (answers).
        redirect = 'exec "$0" "$@" 3<&%d 4>&%d %d<&- %d>&-' % (
            to_browser_read, from_browser_write, to_browser_read, from_browser_write)
        browser = subprocess.Popen(
            ["bash", "-c", redirect, chromium, "--headless=new", "--no-sandbox", "--disable-gpu",
             "--no-first-run", "--disable-dev-shm-usage", "--disable-extensions",
             "--disable-background-networking", "--disable-sync", "--disable-component-update",
             "--no-default-browser-check", "--user-data-dir=" + profile,
             "--remote-debugging-pipe", "about:blank"],
            pass_fds=(to_browser_read, from_browser_write),
            stdout=subprocess.DEVNULL, stderr=open(os.path.join(work, "chromium.log"), "wb"))
        os.close(to_browser_read)
        os.close(from_browser_write)
        tools = DevTools(to_browser_write, from_browser_read)

        # A receipt from before the page was opened: listed when it loads.
        send_job(printer_address, job)
        output.wait_for(r"trabalho 1: ")

        target = tools.call("Target.createTarget", {"url": "about:blank"}, session=False)
        attached = tools.call("Target.attachToTarget",
                              {"targetId": target["targetId"], "flatten": True}, session=False)
        tools.session = attached["sessionId"]
        tools.call("Page.enable")
        tools.call("Page.navigate", {"url": page_url})
        tools.wait_for("document.readyState === 'complete' && "
                       "document.getElementById('estado').textContent.startsWith('Ligada')",
                       "that it follows the event stream")
        tools.wait_for("document.querySelectorAll('.recibo').length === 1",
                       "the receipt received before it was opened")
        if not tools.evaluate("document.getElementById('vazio').hidden"):
            fail("the empty list's line shows beside a receipt")
        # A mark a reload would wipe out.
        tools.evaluate("window.semRecarregar = 'sim'")

        sent_at = time.monotonic()
        send_job(printer_address, job)
        tools.wait_for("document.querySelectorAll('.recibo').length === 2", "the new receipt")
        print("receipt on the page %.0f ms after the job ended" % ((time.monotonic() - sent_at) * 1000))
        if tools.evaluate("window.semRecarregar") != "sim":
            fail("the page was reloaded")
        order = tools.evaluate("[...document.querySelectorAll('.recibo .titulo')].map(e => e.textContent)")
        if order != ["Talão 2", "Talão 1"]:
            fail("not newest first: %r" % order)

        # The job's text is in the report as text, and nothing of it ran.
        report = tools.evaluate("document.querySelector('.recibo .relatorio').textContent")
        if "<script>window.atacado=1</script>" not in report:
            fail("the report does not show the job's text: " + report)
        if tools.evaluate("typeof window.atacado") != "undefined":
            fail("the job's script ran")
        if tools.evaluate("document.querySelectorAll('#recibos script, #recibos b').length") != 0:
            fail("the job's text became elements")
        facts = tools.evaluate("(() => { const r = document.querySelector('.recibo'); return {"
                               "bytes: r.querySelector('.bytes').textContent,"
                               "sender: r.querySelector('.remetente').textContent,"
                               "time: r.querySelector('.hora').dateTime,"
                               "png: r.querySelector('a.png').href,"
                               "pngName: r.querySelector('a.png').download,"
                               "bin: r.querySelector('a.bin').href,"
                               "picture: r.querySelector('.imagem').src}; })()")
        if facts["bytes"] != "%d bytes" % len(job):
            fail("byte count shown: " + facts["bytes"])
        if not facts["sender"].startswith("127.0.0.1:"):
            fail("sender shown: " + facts["sender"])
        if not re.match(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d", facts["time"]):
            fail("time: " + facts["time"])
        if facts["png"] != facts["picture"] or facts["pngName"] != "talao-2.png":
            fail("the picture's download link: " + json.dumps(facts))

        # The picture, as the browser drew it and as zbar reads it.
        tools.wait_for("(() => { const i = document.querySelector('.recibo .imagem');"
                       " return i.complete && i.naturalWidth === 576; })()",
                       "the receipt's picture decoded at 576 dots wide")
        picture = os.path.join(work, "recibo.png")
        with urllib.request.urlopen(facts["picture"], timeout=10) as answer, open(picture, "wb") as f:
            f.write(answer.read())
        scanned = subprocess.run(["zbarimg", "--quiet", "--raw", "-Sbinary", picture],
                                 capture_output=True, timeout=30)
        if scanned.stdout.rstrip(b"\n") != TEXT.encode("cp1252"):
            fail("the picture decodes to %r" % scanned.stdout)
        with urllib.request.urlopen(facts["bin"], timeout=10) as answer:
            if answer.read() != job:
                fail("the downloaded bytes are not the job's")

        # The page's button empties the list, here and on the server.
        tools.evaluate("document.getElementById('limpar').click()")
        tools.wait_for("document.querySelectorAll('.recibo').length === 0 && "
                       "!document.getElementById('vazio').hidden", "the list emptied")
        with urllib.request.urlopen(page_url + "api/receipts", timeout=10) as answer:
            if answer.read() != b"[]":
                fail("the server kept receipts after the button")
        print("PASS")
        return 0
    finally:
        if browser is not None:
            browser.terminate()
            try:
                browser.wait(timeout=10)
            except subprocess.TimeoutExpired:
                browser.kill()
        printer.terminate()
        try:
            printer.wait(timeout=10)
        except subprocess.TimeoutExpired:
            printer.kill()


if __name__ == "__main__":
    sys.exit(main())
