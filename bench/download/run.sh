#!/usr/bin/env bash
# Download benchmark: builds everything, starts nginx on loopback with the packages
# (256 MiB, 64 MiB behind a per-connection rate limit, 1 GiB) and prints three ratios
# measured side by side in this run, every program under Wine (see measure.py).
#   bash bench/download/run.sh            (LUMIVOX_BENCH_RUNS=3 runs per side, best kept)
set -euo pipefail
cd "$(dirname "$0")/../.."
CACHE_ROOT=${LUMIVOX_CACHE:-$HOME/.cache/lumivox}
bash tools/build.sh >/dev/null
# shellcheck disable=SC1091
source "$CACHE_ROOT/deps.env"
# shellcheck disable=SC1091
source tools/wine-env.sh
lumivox_prepare_wine_prefix
lumivox_start_wineserver

# The baseline: curl.exe from the same libcurl build, linked statically here (the copy that
# the dependency build installs needs MinGW's thread and zlib DLLs, which Wine cannot find).
static_curl_exe() {
  local build; build=$(ls -d "$CACHE_ROOT"/src/build-curl-*-x86_64 | tail -n 1)
  local out=$PWD/build/bench/curl.exe
  mkdir -p "$(dirname "$out")"
  # The tool's own objects plus the few library sources it compiles in itself.
  local lib_objects
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
python3 tools/servers/with_servers.py --no-https --timeout 3000 --rate "${LUMIVOX_BENCH_RATE:-8m}" \
  --file bench-256m.bin:268435456 --file bench-64m.bin:67108864 --file bench-1g.bin:1073741824 \
  -- python3 bench/download/measure.py
