#!/usr/bin/env bash
# Runs the window test program on an Xvfb display of its own, then turns the screenshots it
# saved (BMP files in <build>/screenshots) into PNG files beside them.
#   run-window-tests.sh <screenshot folder> <wine loader> <program.exe> [arguments...]
set -uo pipefail
shots=$1
shift
mkdir -p "$shots"
rm -f "$shots"/*.bmp
bash "$(dirname "$0")/../../tools/with-xvfb.sh" "$@"
status=$?
if command -v convert >/dev/null; then
  for bmp in "$shots"/*.bmp; do
    [ -e "$bmp" ] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
  done
fi
exit $status
