#!/usr/bin/env bash
# Runs a Windows program under Wine on an Xvfb display of its own:
#   with-xvfb.sh <wine loader> <program.exe> [arguments...]
# Xvfb picks a free display number and reports it (-displayfd); the server is stopped when
# the program ends. WINEPREFIX must name the prefix to use (tools/wine-env.sh sets it).
# The prefix is prepared by tools/wine-env.sh (CJK font, no window management).
set -uo pipefail

report=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$report" 2>/dev/null &
server=$!
cleanup() { kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$report"; }
trap cleanup EXIT
# Xvfb writes the display number once it accepts clients; 20 s is far beyond its start-up.
for _ in $(seq 1 200); do
  [ -s "$report" ] && break
  kill -0 "$server" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
[ -s "$report" ] || { echo "Xvfb reported no display" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$report")"
"$@"
