#!/usr/bin/env bash
# Builds and runs the toolkit benchmark under Wine on an Xvfb display of its own.
#   bash bench/toolkit/run-bench.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
ROOT=$PWD
build_log=$(mktemp)
bash tools/build.sh >"$build_log" 2>&1 || { cat "$build_log" >&2; rm -f "$build_log"; exit 1; }
rm -f "$build_log"
# shellcheck disable=SC1091
source tools/wine-env.sh
lumivox_prepare_wine_prefix
lumivox_start_wineserver
bash tools/with-xvfb.sh "$LUMIVOX_WINE64" "$ROOT/build/x86_64/bin/toolkit_bench.exe"
