#!/usr/bin/env bash
# Builds both targets, then runs the analytics benchmark under 64-bit Wine against a fresh
# loopback collector. Every figure is printed beside a baseline measured in the same run.
set -euo pipefail
cd "$(dirname "$0")/../.."
bash tools/build.sh >/dev/null
# shellcheck disable=SC1091
source tools/wine-env.sh
lumivox_prepare_wine_prefix
lumivox_start_wineserver
python3 tools/collector/with_collector.py --wine "$LUMIVOX_WINE64" -- build/x86_64/bin/analytics_bench.exe
