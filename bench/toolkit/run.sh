#!/usr/bin/env bash
# Builds and runs the toolkit benchmark under Wine on an Xvfb display of its own.
#   bash bench/toolkit/run.sh
# LUMIVOX_BENCH_BUILT=1 skips the build (bench/run-all.sh builds once for every benchmark).
set -euo pipefail
cd "$(dirname "$0")/../.."
ROOT=$PWD
if [ "${LUMIVOX_BENCH_BUILT:-}" != 1 ]; then
  build_log=$(mktemp)
  bash tools/build.sh >"$build_log" 2>&1 || { cat "$build_log" >&2; rm -f "$build_log"; exit 1; }
  rm -f "$build_log"
fi
# shellcheck disable=SC1091
source tools/wine-env.sh
lumivox_prepare_wine_prefix
lumivox_start_wineserver
# The program takes a few seconds; a window that hangs (a failure box nobody can click on
# the virtual display) is ended after five minutes. Wine's background programs end while the
# display is still there, so none of them complains about losing it.
# shellcheck disable=SC2016
timeout 300 bash tools/with-xvfb.sh bash -c '"$0" "$1"; code=$?; wineserver -k; exit $code' \
  "$LUMIVOX_WINE64" "$ROOT/build/x86_64/bin/toolkit_bench.exe"
