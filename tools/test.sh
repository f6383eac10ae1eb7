#!/usr/bin/env bash
# Builds both targets and runs every test program under 64-bit Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
# shellcheck disable=SC1091
source tools/wine-env.sh
lumivox_prepare_wine_prefix
lumivox_start_wineserver
cd build/x86_64
ctest --output-on-failure "$@"
