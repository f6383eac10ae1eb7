#!/usr/bin/env bash
# Builds both targets, then runs the analytics benchmark under 64-bit Wine against a fresh
# loopback collector. Every figure is printed beside a baseline measured in the same run.
#   bash bench/analytics/run.sh
# LUMIVOX_BENCH_BUILT=1 skips the build (bench/run-all.sh builds once for every benchmark).
set -euo pipefail
cd "$(dirname "$0")/../.."
[ "${LUMIVOX_BENCH_BUILT:-}" = 1 ] || bash tools/build.sh >/dev/null
# shellcheck disable=SC1091
source tools/wine-env.sh
lumivox_prepare_wine_prefix
lumivox_start_wineserver
# The program takes seconds; five minutes means it hangs.
python3 tools/collector/with_collector.py --timeout 300 --wine "$LUMIVOX_WINE64" -- build/x86_64/bin/analytics_bench.exe
