"""A small HTTP server on loopback that misbehaves on request, for the download tests.

Files come from a folder of originals (`files/` of the test root). Paths:

  /pkg/<digest>/<name>                  the file, served normally (HEAD, Range)
  /f/<token>/<script>/<digest>/<name>   the file, served by a script of faults
  /chain/<n>/<rest>                     redirects n times, then to /<rest>
  /oneshot                              answers the port of a new listener that serves
                                        exactly one connection and then refuses all others

A script names what successive requests of one method on one path get, for example
"h.s404.ok_g.drop1000.s500x6.ok": the first HEAD gets a 404, every later HEAD the file;
the first GET drops after 1000 body bytes, the next six get a 500, every later GET the file.
The last step repeats. Steps:

  ok         the file (206 for a Range request)
  hang       nothing at all, not even a status line, until the client gives up
  sNNN       that status with a short body
  dropN      headers and N body bytes, then the connection closes
  stallN     headers and N body bytes, then nothing until the client gives up
  waitdropN  N body bytes, a pause of 1.5 s, then the connection closes
  norange    200 with the whole file, whatever the Range asked
  extraN     206 for the range asked, with N bytes more than it
  rateN      the file at N bytes per second
  nolength   no Content-Length (HEAD), a body up to the connection's end (GET)
  STEPxN     the step N times in a row ("s500x6")

The <token> keeps the request counters of two tests apart. Every request is logged to
the log file as one line, "<method> <path> range=<Range or -> status=<code>", when its
answer's head goes out (so a client that has its answer finds the line).
"""

import os
import re
import select
import socket
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

STALL_CAP_SECONDS = 300  # a stalled answer never outlives a hung test for long


class FaultState:
    def __init__(self, files_dir, log_path):
        self.files_dir = files_dir
        self.log_path = log_path
        self.lock = threading.Lock()
        self.counters = {}

    def next_index(self, key):
        with self.lock:
            index = self.counters.get(key, 0)
            self.counters[key] = index + 1
            return index

    def log(self, line):
        with self.lock:
            with open(self.log_path, "a", encoding="utf-8") as log:
                log.write(line + "\n")


def parse_script(script):
    """{'h': [steps], 'g': [steps]} from "h.s404.ok_g.drop10"."""
    plan = {}
    for part in script.split("_"):
        if not part:
            continue
        items = part.split(".")
        steps = []
        for item in items[1:]:
            repeated = re.fullmatch(r"(.+?)x(\d+)", item)
            if repeated:
                steps.extend([repeated.group(1)] * int(repeated.group(2)))
            else:
                steps.append(item)
        plan[items[0]] = steps
    return plan


def step_for(steps, index):
    if not steps:
        return "ok"
    return steps[min(index, len(steps) - 1)]


def parse_range(header, size):
    """(first, last) of "bytes=a-b" or "bytes=a-", or None."""
    if not header:
        return None
    match = re.fullmatch(r"bytes=(\d+)-(\d*)", header.strip())
    if not match:
        return None
    first = int(match.group(1))
    last = int(match.group(2)) if match.group(2) else size - 1
    return first, min(last, size - 1)


class FaultHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    state = None  # set by make_server

    def log_message(self, *args):
        pass

    def do_HEAD(self):
        self.answer(head=True)

    def do_GET(self):
        self.answer(head=False)

    def record(self, status):
        self.state.log("%s %s range=%s status=%d" % (
            self.command, self.path, self.headers.get("Range") or "-", status))

    def send_head(self, status, headers):
        self.record(status)
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()

    def answer(self, head):
        path = self.path.split("?", 1)[0]
        parts = [p for p in path.split("/") if p]
        if parts == ["oneshot"]:
            return self.answer_oneshot()
        if len(parts) >= 2 and parts[0] == "chain":
            return self.answer_chain(parts)
        if len(parts) == 3 and parts[0] == "pkg":
            return self.serve(parts[2], "ok", head)
        if len(parts) == 5 and parts[0] == "f":
            plan = parse_script(parts[2])
            method = "h" if head else "g"
            index = self.state.next_index((method, path))
            return self.serve(parts[4], step_for(plan.get(method), index), head)
        self.send_status(404, head)

    def answer_oneshot(self):
        port = start_oneshot_listener(self.state)
        body = str(port).encode()
        self.send_head(200, [("Content-Length", str(len(body)))])
        self.wfile.write(body)

    def answer_chain(self, parts):
        count = int(parts[1])
        rest = "/".join(parts[2:])
        target = "/chain/%d/%s" % (count - 1, rest) if count > 1 else "/" + rest
        self.send_head(302, [("Location", target), ("Content-Length", "0")])

    def send_status(self, status, head):
        body = ("<html><body>status %d</body></html>" % status).encode()
        self.send_head(status, [("Content-Type", "text/html"), ("Content-Length", str(len(body)))])
        if not head:
            self.wfile.write(body)

    def serve(self, name, step, head):
        file_path = os.path.join(self.state.files_dir, os.path.basename(name))
        if not os.path.isfile(file_path):
            return self.send_status(404, head)
        if step == "hang":
            self.record(0)
            self.wait_until_client_leaves()
            self.close_connection = True
            return
        status_match = re.fullmatch(r"s(\d{3})", step)
        if status_match:
            return self.send_status(int(status_match.group(1)), head)
        size = os.path.getsize(file_path)

        wanted = None if step == "norange" or head else parse_range(self.headers.get("Range"), size)
        if wanted and wanted[0] >= size:
            return self.send_status(416, head)
        first, last = wanted if wanted else (0, size - 1)
        length = last - first + 1
        extra = int(step[5:]) if step.startswith("extra") else 0

        headers = [("Content-Type", "application/octet-stream"), ("Accept-Ranges", "bytes")]
        if wanted:
            headers.append(("Content-Range", "bytes %d-%d/%d" % (first, last, size)))
        if step == "nolength":
            headers.append(("Connection", "close"))
            self.close_connection = True
        else:
            headers.append(("Content-Length", str(length + extra)))
        self.send_head(206 if wanted else 200, headers)
        if head:
            return

        with open(file_path, "rb") as source:
            source.seek(first)
            body = source.read(length)
        self.send_body(body + bytes(extra), step)

    def send_body(self, body, step):
        number = re.search(r"(\d+)$", step)
        count = int(number.group(1)) if number else 0
        try:
            if step.startswith("drop"):
                self.wfile.write(body[:count])
                self.wfile.flush()
                self.drop()
            elif step.startswith("waitdrop"):
                self.wfile.write(body[:count])
                self.wfile.flush()
                time.sleep(1.5)
                self.drop()
            elif step.startswith("stall"):
                self.wfile.write(body[:count])
                self.wfile.flush()
                self.wait_until_client_leaves()
                self.close_connection = True
            elif step.startswith("rate"):
                self.send_at_rate(body, max(count, 1))
            else:
                self.wfile.write(body)
        except (BrokenPipeError, ConnectionResetError, ConnectionAbortedError):
            self.close_connection = True

    def send_at_rate(self, body, bytes_per_second):
        chunk = max(bytes_per_second // 20, 1)
        for start in range(0, len(body), chunk):
            self.wfile.write(body[start:start + chunk])
            self.wfile.flush()
            time.sleep(chunk / bytes_per_second)

    def drop(self):
        self.close_connection = True
        try:
            self.connection.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass

    def wait_until_client_leaves(self):
        deadline = time.monotonic() + STALL_CAP_SECONDS
        while time.monotonic() < deadline:
            readable, _, _ = select.select([self.connection], [], [], 0.5)
            if readable:
                try:
                    if not self.connection.recv(4096):
                        return
                except OSError:
                    return


def start_oneshot_listener(state):
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    listener.settimeout(STALL_CAP_SECONDS)
    port = listener.getsockname()[1]

    def serve_one():
        try:
            connection, address = listener.accept()
        except OSError:
            listener.close()
            return
        listener.close()  # every later connection is refused
        connection.settimeout(STALL_CAP_SECONDS)
        try:
            FaultHandler(connection, address, None)
        except OSError:
            pass
        finally:
            connection.close()

    threading.Thread(target=serve_one, daemon=True).start()
    return port


def make_server(files_dir, log_path):
    FaultHandler.state = FaultState(files_dir, log_path)
    server = ThreadingHTTPServer(("127.0.0.1", 0), FaultHandler)
    server.daemon_threads = True
    return server
