#!/usr/bin/env bash
# Builds the installer and starts it under Wine with the given switches, printing its
# trace lines and its exit code.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh >/dev/null
# shellcheck disable=SC1091
source tools/wine-env.sh
lumivox_prepare_wine_prefix
trace=$(mktemp)
set +e
LUMIVOX_TRACE_FILE="Z:${trace//\//\\}" "$LUMIVOX_WINE64" build/x86_64/bin/LumivoxSetup.exe "$@"
code=$?
set -e
cat "$trace"; rm -f "$trace"
echo "exit code: $code"
