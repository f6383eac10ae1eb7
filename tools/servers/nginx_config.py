"""Writes the nginx configuration of the download tests and benchmark and runs nginx.

The server root holds the package layout the installer expects: /pkg/<md5>/<name> (the
digest directory in lowercase), /PKG/<MD5>/<name> (the same in capitals), /<name> (no
digest directory), /software/<name> (a redirect to /pkg/<md5>/<name>) and /slow/<md5>/<name>
(the lowercase layout with a per-connection rate limit). An optional second server answers
HTTPS with a self-signed certificate that no client trusts.
"""

import os
import signal
import socket
import subprocess
import time

CONFIG = """\
daemon off;
master_process off;
worker_processes 1;
pid {work}/nginx.pid;
error_log {work}/nginx-error.log warn;
events {{ worker_connections 256; }}
http {{
    access_log off;
    client_body_temp_path {work}/tmp-body;
    proxy_temp_path {work}/tmp-proxy;
    fastcgi_temp_path {work}/tmp-fastcgi;
    uwsgi_temp_path {work}/tmp-uwsgi;
    scgi_temp_path {work}/tmp-scgi;
    types {{ application/octet-stream bin exe; }}
    default_type application/octet-stream;
    sendfile on;
    keepalive_timeout 30;
    log_format lumivox '$request_method $uri range=$http_range status=$status';
{servers}
}}
"""

SERVER = """\
    server {{
        listen 127.0.0.1:{port}{ssl};
        {certificate}
        root {root};
        access_log {work}/{log} lumivox;
        location /software/ {{
{redirects}
            return 404;
        }}
        location /slow/ {{
            alias {root}/pkg/;
            limit_rate {rate};
        }}
    }}
"""


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def write_config(work, root, digests, port, https_port=None, rate="4m"):
    """digests: {name: md5}. Returns the configuration's path."""
    redirects = "\n".join(
        "            location = /software/%s { return 302 /pkg/%s/%s; }" % (name, md5, name)
        for name, md5 in sorted(digests.items()))
    servers = [SERVER.format(port=port, ssl="", certificate="", root=root, work=work,
                             log="nginx-access.log", redirects=redirects, rate=rate)]
    if https_port:
        certificate = "ssl_certificate {0}/self-signed.crt; ssl_certificate_key {0}/self-signed.key;".format(work)
        servers.append(SERVER.format(port=https_port, ssl=" ssl", certificate=certificate, root=root,
                                     work=work, log="nginx-https-access.log", redirects=redirects, rate=rate))
    path = os.path.join(work, "nginx.conf")
    with open(path, "w", encoding="utf-8") as config:
        config.write(CONFIG.format(work=work, servers="".join(servers)))
    return path


def make_self_signed_certificate(work, name="self-signed"):
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1",
                    "-keyout", os.path.join(work, name + ".key"), "-out", os.path.join(work, name + ".crt")],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def _die_with_parent():
    # nginx ends with the launcher even when the launcher is killed outright.
    try:
        import ctypes
        ctypes.CDLL("libc.so.6").prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG
    except OSError:
        pass


def start_nginx(work, config, ports, nginx="nginx"):
    """Starts nginx in the foreground; returns the process once every port answers."""
    process = subprocess.Popen([nginx, "-p", work, "-c", config, "-e", os.path.join(work, "nginx-error.log")],
                               preexec_fn=_die_with_parent, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        if process.poll() is not None:
            raise RuntimeError("nginx ended at start, see %s/nginx-error.log" % work)
        try:
            for port in ports:
                socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return process
        except OSError:
            time.sleep(0.05)
    process.kill()
    raise RuntimeError("nginx did not start listening")


def stop_nginx(process):
    if process.poll() is None:
        process.send_signal(signal.SIGQUIT)
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
