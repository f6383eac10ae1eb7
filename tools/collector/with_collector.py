#!/usr/bin/env python3
"""Runs one command with a fresh collector on loopback, then stops the collector.

    with_collector.py [--timeout SECONDS] [--wine LOADER] -- program [arguments...]

The command (a Windows program, started through the Wine loader when --wine or the
environment's LUMIVOX_WINE64 names one) inherits these environment variables:

  LUMIVOX_COLLECTOR_URL      http://127.0.0.1:<port>/sa?project=pc
  LUMIVOX_COLLECTOR_PORT     the port
  LUMIVOX_COLLECTOR_RECORDS  the JSON-lines file, as a Windows path (Wine's Z: drive)
  LUMIVOX_COLLECTOR_RECORDS_UNIX  the same file as a Linux path

The exit code is the command's; a command that outlives --timeout is killed (exit 124).
The records file is removed afterwards unless LUMIVOX_KEEP_COLLECTOR_RECORDS is set.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from collector import Collector  # noqa: E402


def windows_path(unix_path):
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


def forward(stream, target):
    for chunk in iter(lambda: stream.read1(65536), b""):
        target.write(chunk)
        target.flush()


def run_forwarding_output(command, environment, timeout):
    """Runs the command with its output copied through a pipe of our own.

    Wine's background programs, when a Windows program starts them, inherit that program's
    output handles and outlive it. Handing them our own pipe instead of the caller's keeps
    CTest from waiting on them after the program has ended.
    """
    process = subprocess.Popen(command, env=environment, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    reader = threading.Thread(target=forward, args=(process.stdout, sys.stdout.buffer), daemon=True)
    reader.start()
    try:
        code = process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        print("with_collector: %s outlived %.0f s" % (command[-1], timeout), file=sys.stderr)
        code = 124
    reader.join(timeout=2)  # what the program wrote is in the pipe by now
    return code


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--timeout", type=float, default=600.0)
    parser.add_argument("--wine", default=os.environ.get("LUMIVOX_WINE64", ""))
    parser.add_argument("command", nargs=argparse.REMAINDER)
    arguments = parser.parse_args()
    command = arguments.command[1:] if arguments.command[:1] == ["--"] else arguments.command
    if not command:
        parser.error("no command given")
    if arguments.wine and command[0].lower().endswith(".exe"):
        command = [arguments.wine] + command

    folder = tempfile.mkdtemp(prefix="lumivox-collector-")
    records = os.path.join(folder, "records.jsonl")
    collector = Collector(records)
    collector.start_in_thread()
    environment = dict(os.environ)
    environment.update(
        LUMIVOX_COLLECTOR_URL="http://127.0.0.1:%d/sa?project=pc" % collector.port,
        LUMIVOX_COLLECTOR_PORT=str(collector.port),
        LUMIVOX_COLLECTOR_RECORDS=windows_path(records),
        LUMIVOX_COLLECTOR_RECORDS_UNIX=records,
    )
    try:
        code = run_forwarding_output(command, environment, arguments.timeout)
    finally:
        collector.shutdown()
        collector.server_close()
        if os.environ.get("LUMIVOX_KEEP_COLLECTOR_RECORDS"):
            print("with_collector: records kept in " + records, file=sys.stderr)
        else:
            shutil.rmtree(folder, ignore_errors=True)
    return code


if __name__ == "__main__":
    sys.exit(main())
