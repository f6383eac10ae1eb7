#!/usr/bin/env bash
# The installer's main job, end to end: builds everything, starts nginx (serving the demo
# product package) and the analytics collector on loopback, runs the real installer under
# Wine (on an Xvfb display of its own, or on the user's display with --own-display) pointed
# at the local server by an INI file beside it, clicks its install button, and prints the
# pages shown, the files installed, the registry record and the analytics records received.
# Leaves nothing running.
set -euo pipefail
cd "$(dirname "$0")/.."
build_log=$(mktemp)
bash tools/build.sh >"$build_log" 2>&1 || { cat "$build_log" >&2; rm -f "$build_log"; exit 1; }
rm -f "$build_log"
# shellcheck disable=SC1091
source tools/wine-env.sh
lumivox_prepare_wine_prefix
lumivox_start_wineserver
python3 tools/e2e/demo_install.py "$@"
