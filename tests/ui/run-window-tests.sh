#!/usr/bin/env bash
# Runs the window test program on an Xvfb display of its own, then turns the screenshots it
# saved (BMP files in <build>/screenshots) into PNG files beside them.
#   run-window-tests.sh <screenshot folder> <wine loader> <program.exe> [arguments...]
set -uo pipefail
shots=$1
shift
mkdir -p "$shots"
rm -f "$shots"/*.bmp
# Drive D: of the tests (a custom install into "D:/Apps") is an empty folder of this run.
drive_d=""
if [ -n "${WINEPREFIX:-}" ] && [ ! -e "$WINEPREFIX/dosdevices/d:" ]; then
  drive_d=$(mktemp -d)
  ln -s "$drive_d" "$WINEPREFIX/dosdevices/d:"
fi
cleanup() {
  if [ -n "$drive_d" ]; then rm -f "$WINEPREFIX/dosdevices/d:"; rm -rf "$drive_d"; fi
}
trap cleanup EXIT
bash "$(dirname "$0")/../../tools/with-xvfb.sh" "$@"
status=$?
if command -v convert >/dev/null; then
  for bmp in "$shots"/*.bmp; do
    [ -e "$bmp" ] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
  done
fi
exit $status
