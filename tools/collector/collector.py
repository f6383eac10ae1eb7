#!/usr/bin/env python3
"""A small analytics collector for tests and local runs.

It accepts the installer's POST (body "data_list=<url-encoded Base64 of a gzip stream>&gzip=1"),
decodes the batch back to its JSON array and appends what it saw to a JSON-lines file:

  {"kind": "request", "seq": n, "tag": ..., "status": answered status, "batch": decoded text, ...}
  {"kind": "record",  "seq": n, "tag": ..., "status": ..., "record": {...}}   one per record

The answer is chosen per request through the query string of the collector URL, so a test
picks it by the URL it hands to the tracker:

  status=500          answer 500 (default 200, or the --status given at start)
  status=500,500,200  answer the statuses in turn for this tag, repeating the last one
  delay_ms=4000       wait before answering (for client time-outs)
  tag=name            label the lines, so one file serves many tests

The server listens on 127.0.0.1 on a port chosen by the system and stops by itself after
--lifetime seconds, or when the process that started it goes away.
"""

import argparse
import base64
import gzip
import http.server
import json
import os
import re
import sys
import threading
import time
import urllib.parse

BODY_PATTERN = re.compile(r"^data_list=([A-Za-z0-9%._~-]*)&gzip=1$")


def decode_body(body):
    """Returns (batch text, compressed size) or raises ValueError with the reason."""
    text = body.decode("ascii", errors="strict")
    match = BODY_PATTERN.match(text)
    if not match:
        raise ValueError("body is not data_list=<url-encoded>&gzip=1")
    encoded = urllib.parse.unquote(match.group(1), errors="strict")
    compressed = base64.b64decode(encoded, validate=True)
    if compressed[:2] != b"\x1f\x8b":
        raise ValueError("data_list is not a gzip stream")
    return gzip.decompress(compressed).decode("utf-8"), len(compressed)


class Collector(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, records_path, default_status=200, default_delay_ms=0):
        super().__init__(("127.0.0.1", 0), CollectorHandler)
        self.records_path = records_path
        self.default_status = default_status
        self.default_delay_ms = default_delay_ms
        self.lock = threading.Lock()
        self.sequence = 0
        self.answered_per_tag = {}
        open(records_path, "a", encoding="utf-8").close()

    @property
    def port(self):
        return self.server_address[1]

    def next_answer(self, tag, statuses):
        with self.lock:
            self.sequence += 1
            index = self.answered_per_tag.get(tag, 0)
            self.answered_per_tag[tag] = index + 1
            return self.sequence, statuses[min(index, len(statuses) - 1)]

    def write_lines(self, lines):
        with self.lock, open(self.records_path, "a", encoding="utf-8") as out:
            for line in lines:
                out.write(json.dumps(line, ensure_ascii=False) + "\n")

    def start_in_thread(self):
        thread = threading.Thread(target=self.serve_forever, name="collector", daemon=True)
        thread.start()
        return thread


class CollectorHandler(http.server.BaseHTTPRequestHandler):
    # HTTP/1.1 so that libcurl's "Expect: 100-continue" is answered at once.
    protocol_version = "HTTP/1.1"

    def log_message(self, *arguments):
        pass

    def do_POST(self):
        server = self.server
        url = urllib.parse.urlsplit(self.path)
        query = dict(urllib.parse.parse_qsl(url.query))
        tag = query.get("tag", "")
        statuses = [int(s) for s in query.get("status", str(server.default_status)).split(",")]
        delay_ms = int(query.get("delay_ms", server.default_delay_ms))
        body = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        sequence, status = server.next_answer(tag, statuses)

        request = {
            "kind": "request", "seq": sequence, "tag": tag, "path": url.path, "query": url.query,
            "status": status, "delay_ms": delay_ms, "received": time.time(),
            "user_agent": self.headers.get("User-Agent"), "content_type": self.headers.get("Content-Type"),
            "body_bytes": len(body), "error": None,
        }
        lines = [request]
        try:
            batch, compressed_bytes = decode_body(body)
            records = json.loads(batch)
            if not isinstance(records, list):
                raise ValueError("batch is not a JSON array")
            request.update(batch=batch, batch_bytes=len(batch.encode("utf-8")),
                           compressed_bytes=compressed_bytes, records=len(records))
            lines += [{"kind": "record", "seq": sequence, "tag": tag, "status": status, "record": r} for r in records]
        except (ValueError, UnicodeDecodeError, OSError, EOFError) as error:
            request["error"] = str(error)
            status = 400
            request["status"] = status
        server.write_lines(lines)

        if delay_ms > 0:
            time.sleep(delay_ms / 1000.0)
        answer = b"ok" if status == 200 else ("status %d" % status).encode()
        try:
            self.send_response(status)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(len(answer)))
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(answer)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client gave up waiting

    def do_GET(self):
        answer = b"collector"
        self.send_response(200)
        self.send_header("Content-Length", str(len(answer)))
        self.end_headers()
        self.wfile.write(answer)


def stop_later(collector, lifetime_seconds, parent_pid):
    """Stops the server after its lifetime, or as soon as its starter has gone."""
    deadline = time.monotonic() + lifetime_seconds
    while time.monotonic() < deadline:
        if parent_pid is not None and os.getppid() != parent_pid:
            break
        time.sleep(0.5)
    collector.shutdown()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--records", required=True, help="JSON-lines file to append to")
    parser.add_argument("--port-file", help="file that receives the port once listening")
    parser.add_argument("--status", type=int, default=200)
    parser.add_argument("--delay-ms", type=int, default=0)
    parser.add_argument("--lifetime", type=float, default=900.0, help="seconds before stopping by itself")
    arguments = parser.parse_args()

    collector = Collector(arguments.records, arguments.status, arguments.delay_ms)
    threading.Thread(target=stop_later, args=(collector, arguments.lifetime, os.getppid()), daemon=True).start()
    if arguments.port_file:
        temporary = arguments.port_file + ".tmp"
        with open(temporary, "w") as out:
            out.write(str(collector.port))
        os.replace(temporary, arguments.port_file)
    print(collector.port, flush=True)
    collector.serve_forever()
    collector.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
