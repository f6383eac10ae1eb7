#!/usr/bin/env bash
# Download benchmark: builds everything, starts nginx on loopback with the packages
# (256 MiB, 64 MiB behind a per-connection rate limit, 1 GiB and a small one for the memory
# floor) and prints three figures measured side by side in this run, every program under
# Wine (see measure.py).
#   bash bench/download/run.sh            (LUMIVOX_BENCH_RUNS=3 runs per side, best kept)
# LUMIVOX_BENCH_BUILT=1 skips the build (bench/run-all.sh builds once for every benchmark).
set -euo pipefail
cd "$(dirname "$0")/../.."
CACHE_ROOT=${LUMIVOX_CACHE:-$HOME/.cache/lumivox}
[ "${LUMIVOX_BENCH_BUILT:-}" = 1 ] || bash tools/build.sh >/dev/null
# Where this checkout's build found its dependencies (tools/build.sh writes it).
# shellcheck disable=SC1091
source build/deps.env
# shellcheck disable=SC1091
source tools/wine-env.sh
lumivox_prepare_wine_prefix
lumivox_start_wineserver

# The baseline: curl.exe from the very libcurl build the installer links, linked statically
# here (the copy that the dependency build installs needs MinGW's thread and zlib DLLs, which
# Wine cannot find).
static_curl_exe() {
  local build
  build=$CACHE_ROOT/src/build-$(basename "${LUMIVOX_CURL_x86_64:?not in build/deps.env}")
  [ -f "$build/lib/.libs/libcurl.a" ] || { echo "no libcurl build tree at $build" >&2; return 1; }
  local out=$PWD/build/bench/curl.exe
  mkdir -p "$(dirname "$out")"
  # The tool's own objects plus the few library sources it compiles in itself.
  local lib_objects
  # shellcheck disable=SC2016
  lib_objects=$(sed -n '/^am__objects_6 =/,/[^\\]$/p' "$build/src/Makefile" |
    grep -o '\.\./lib/[a-z_0-9]*\.\$(OBJEXT)' | sed "s|\.\./lib/\(.*\)\.\$(OBJEXT)|$build/lib/\1.o|")
  # shellcheck disable=SC2086
  x86_64-w64-mingw32-gcc-posix -static -o "$out" "$build"/src/*.o $lib_objects "$build/lib/.libs/libcurl.a" \
    /usr/x86_64-w64-mingw32/lib/libz.a -lbcrypt -ladvapi32 -lcrypt32 -lws2_32 -lsecur32 -lwldap32 \
    -lnormaliz -liphlpapi
  echo "$out"
}

export LUMIVOX_BENCH_EXE=$PWD/build/x86_64/bin/download_bench.exe
LUMIVOX_CURL_EXE=$(static_curl_exe)
export LUMIVOX_CURL_EXE
# About a minute and a half here; twenty minutes means something hangs.
python3 tools/servers/with_servers.py --no-https --timeout 1200 --rate "${LUMIVOX_BENCH_RATE:-8m}" \
  --file bench-256m.bin:268435456 --file bench-64m.bin:67108864 --file bench-1g.bin:1073741824 \
  --file bench-24m.bin:25165824 \
  -- python3 bench/download/measure.py
