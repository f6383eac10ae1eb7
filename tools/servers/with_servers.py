#!/usr/bin/env python3
"""Runs a command (a Windows test program under Wine, a benchmark) with the download test
servers on loopback, each on a port picked now:

  nginx         HEAD, byte ranges, the digest-directory layout, redirects, rate limits
  nginx HTTPS   the same over TLS with a self-signed certificate nobody trusts
  fault server  our own misbehaving server (tools/servers/fault_server.py)

Served files are random bytes of a given size (--file NAME:SIZE) or copies of given files
(--serve NAME=PATH, e.g. a fake package built for the tests, padded with --pad-to).

The command learns where they are from environment variables, which Wine hands on to
Windows programs:

  LUMIVOX_TEST_HTTP_PORT, LUMIVOX_TEST_HTTPS_PORT, LUMIVOX_TEST_FAULT_PORT
  LUMIVOX_TEST_ROOT   the server root as a Windows path (Z:\\...); originals in files\\
                      (a test may take a served file away and put it back to make it fail)
  LUMIVOX_TEST_LOGS   folder of nginx-access.log, nginx-https-access.log, fault-requests.log,
                      and of the HTTPS server's certificate self-signed.crt and an unrelated one,
                      unrelated.crt

Everything stops when the command ends, when it outlives --timeout (it is killed), and
when this launcher itself is killed (nginx follows its parent; the fault server is a
thread of this process).
"""

import argparse
import hashlib
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import fault_server  # noqa: E402
import nginx_config  # noqa: E402


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def lay_out(root, name):
    """Links files/<name> into the digest layouts and the root; returns its md5."""
    path = os.path.join(root, "files", name)
    digest = hashlib.md5()
    with open(path, "rb") as source:
        for block in iter(lambda: source.read(1 << 20), b""):
            digest.update(block)
    md5 = digest.hexdigest()
    for folder in (os.path.join(root, "pkg", md5), os.path.join(root, "PKG", md5.upper()), root):
        os.makedirs(folder, exist_ok=True)
        os.link(path, os.path.join(folder, name))
    return md5


def make_files(root, specs):
    """specs: ["name:size", ...] -> {name: md5}. Random content, so no two files agree."""
    files = os.path.join(root, "files")
    os.makedirs(files, exist_ok=True)
    digests = {}
    for spec in specs:
        name, size = spec.rsplit(":", 1)
        with open(os.path.join(files, name), "wb") as out:
            left = int(size)
            while left:
                block = os.urandom(min(left, 1 << 20))
                out.write(block)
                left -= len(block)
        digests[name] = lay_out(root, name)
    return digests


def serve_files(root, specs, pad_to):
    """specs: ["name=path", ...] -> {name: md5}. Copies of given files (a program built for
    the tests), each padded with zero bytes up to `pad_to`: a Windows program still runs with
    data after its image, and the downloaders take packages below 1 MiB for a failed probe."""
    files = os.path.join(root, "files")
    os.makedirs(files, exist_ok=True)
    digests = {}
    for spec in specs:
        name, path = spec.split("=", 1)
        target = os.path.join(files, name)
        shutil.copyfile(path, target)
        size = os.path.getsize(target)
        if size < pad_to:
            with open(target, "ab") as out:
                out.write(bytes(pad_to - size))
        digests[name] = lay_out(root, name)
    return digests


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--file", action="append", default=[], help="NAME:SIZE of a package to serve")
    parser.add_argument("--serve", action="append", default=[], metavar="NAME=PATH",
                        help="serve a copy of the file PATH as NAME")
    parser.add_argument("--pad-to", type=int, default=0, metavar="BYTES",
                        help="zero bytes appended to each --serve copy up to this size")
    parser.add_argument("--timeout", type=float, default=540, help="seconds before the command is killed")
    parser.add_argument("--rate", default="4m", help="per-connection rate limit under /slow/")
    parser.add_argument("--no-https", action="store_true")
    parser.add_argument("--keep", action="store_true", help="keep the work folder (logs) afterwards")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    if not command:
        parser.error("no command")

    work = tempfile.mkdtemp(prefix="lumivox-servers-")
    os.chmod(work, 0o755)
    root = os.path.join(work, "root")
    os.makedirs(root)
    nginx = None
    fault = None
    try:
        digests = make_files(root, args.file)
        digests.update(serve_files(root, args.serve, args.pad_to))

        fault = fault_server.make_server(os.path.join(root, "files"), os.path.join(work, "fault-requests.log"))
        threading.Thread(target=fault.serve_forever, daemon=True).start()

        http_port = nginx_config.free_port()
        https_port = None if args.no_https else nginx_config.free_port()
        if https_port:
            nginx_config.make_self_signed_certificate(work)
            # A certificate of nobody involved: a client that trusts only it must refuse the server.
            nginx_config.make_self_signed_certificate(work, "unrelated")
        config = nginx_config.write_config(work, root, digests, http_port, https_port, args.rate)
        nginx = nginx_config.start_nginx(work, config, [p for p in (http_port, https_port) if p])

        env = dict(os.environ)
        env.update({
            "LUMIVOX_TEST_HTTP_PORT": str(http_port),
            "LUMIVOX_TEST_HTTPS_PORT": str(https_port or 0),
            "LUMIVOX_TEST_FAULT_PORT": str(fault.server_address[1]),
            "LUMIVOX_TEST_ROOT": windows_path(root),
            "LUMIVOX_TEST_LOGS": windows_path(work),
            "LUMIVOX_TEST_UNIX_ROOT": root,
            "LUMIVOX_TEST_UNIX_LOGS": work,
        })
        child = subprocess.Popen(command, env=env, start_new_session=True,
                                 preexec_fn=nginx_config._die_with_parent)
        try:
            return child.wait(timeout=args.timeout)
        except subprocess.TimeoutExpired:
            print("with_servers: %s outlived %.0f s and was killed" % (command[0], args.timeout), file=sys.stderr)
            os.killpg(child.pid, signal.SIGKILL)
            child.wait()
            return 124
    finally:
        if nginx:
            nginx_config.stop_nginx(nginx)
        if fault:
            fault.shutdown()
            fault.server_close()
        if args.keep:
            print("with_servers: kept %s" % work, file=sys.stderr)
        else:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
