#!/usr/bin/env python3
"""The download benchmark's measurements, run by run.sh inside tools/servers/with_servers.py
(so nginx is up and its port is in the environment). Every program runs under Wine against
the same local nginx, side by side in this one run, and only ratios are printed as results:

  1. single-stream downloader vs curl.exe (same libcurl sources), 256 MiB: throughput ratio
  2. multi-part vs single-stream with nginx limiting each connection's rate: speed-up
  3. peak working set of the downloading process for a 1 GiB package (both libcurl
     downloaders; the larger figure counts)
"""

import hashlib
import os
import re
import subprocess
import sys
import tempfile
import time

WINE = os.environ["LUMIVOX_WINE64"]
BENCH = os.environ["LUMIVOX_BENCH_EXE"]
CURL = os.environ["LUMIVOX_CURL_EXE"]
PORT = os.environ["LUMIVOX_TEST_HTTP_PORT"]
ROOT = os.environ["LUMIVOX_TEST_UNIX_ROOT"]
RUNS = int(os.environ.get("LUMIVOX_BENCH_RUNS", "3"))


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def md5_of(name):
    digest = hashlib.md5()
    with open(os.path.join(ROOT, "files", name), "rb") as source:
        for block in iter(lambda: source.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def url(path):
    return "http://127.0.0.1:%s%s" % (PORT, path)


def run_bench(mode, package_url, out_dir):
    target = os.path.join(out_dir, "package.exe")
    output = subprocess.run([WINE, BENCH, mode, package_url, windows_path(target)],
                            capture_output=True, text=True, timeout=900).stdout
    match = re.search(r"seconds=([\d.]+) code=(\d+) value=(\S+) peak_working_set=(\d+)", output)
    if not match or match.group(2) != "1003":
        sys.exit("benchmark run failed (%s %s): %r" % (mode, package_url, output))
    for name in os.listdir(out_dir):
        os.remove(os.path.join(out_dir, name))
    return float(match.group(1)), int(match.group(4))


def run_curl(package_url, out_dir):
    target = os.path.join(out_dir, "curl-package.exe")
    started = time.monotonic()
    output = subprocess.run([WINE, CURL, "-s", "-S", "-f", "-o", windows_path(target), "-w", "%{time_total}",
                             package_url], capture_output=True, text=True, timeout=900)
    wall = time.monotonic() - started
    if output.returncode != 0:
        sys.exit("curl.exe failed: %s" % output.stderr)
    os.remove(target)
    return float(output.stdout.strip() or wall)


def best(samples):
    return min(samples)


def main():
    out_dir = tempfile.mkdtemp(prefix="lumivox-bench-out-")
    try:
        # 1. The transfer itself: a package URL without a digest directory, so neither side
        #    spends time on an MD5 check that the other does not do.
        plain = url("/bench-256m.bin")
        curl_times = [run_curl(plain, out_dir) for _ in range(RUNS)]
        single_times = [run_bench("single", plain, out_dir)[0] for _ in range(RUNS)]
        single_vs_curl = best(curl_times) / best(single_times)

        # 2. nginx limits every connection's rate; both verify the digest.
        slow = url("/slow/%s/bench-64m.bin" % md5_of("bench-64m.bin"))
        slow_single = [run_bench("single", slow, out_dir)[0] for _ in range(RUNS)]
        slow_multi = [run_bench("multi", slow, out_dir)[0] for _ in range(RUNS)]
        multi_speedup = best(slow_single) / best(slow_multi)

        # 3. 1 GiB with the digest check, both downloaders.
        big = url("/pkg/%s/bench-1g.bin" % md5_of("bench-1g.bin"))
        peak_single = run_bench("single", big, out_dir)[1]
        peak_multi = run_bench("multi", big, out_dir)[1]
        peak = max(peak_single, peak_multi)
    finally:
        for name in os.listdir(out_dir):
            os.remove(os.path.join(out_dir, name))
        os.rmdir(out_dir)

    mib = 1024.0 * 1024.0
    print("single-stream 256 MiB: curl.exe best %.2f s, downloader best %.2f s" % (best(curl_times), best(single_times)))
    print("rate-limited 64 MiB: single-stream best %.2f s, multi-part best %.2f s" % (best(slow_single), best(slow_multi)))
    print("1 GiB peak working set: single-stream %.1f MiB, multi-part %.1f MiB" % (peak_single / mib, peak_multi / mib))
    print()
    print("single-stream / curl.exe throughput: %.3f  (goal >= 0.95)" % single_vs_curl)
    print("multi-part / single-stream speed, rate-limited: %.3f  (goal >= 1.8)" % multi_speedup)
    print("peak working set, 1 GiB package: %.1f MiB  (goal < 64)" % (peak / mib))


if __name__ == "__main__":
    main()
