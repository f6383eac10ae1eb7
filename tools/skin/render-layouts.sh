#!/usr/bin/env bash
# Renders the six layouts (and the main window's pages, and the message boxes with sample
# texts) to PNG files, offscreen under Wine:
#
#   bash tools/skin/render-layouts.sh [output folder]     (default: build/layouts)
#
# Builds first (tools/build.sh installs what is missing on a fresh machine).
set -euo pipefail
cd "$(dirname "$0")/../.."
ROOT=$PWD
OUT=${1:-$ROOT/build/layouts}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
build_log=$(mktemp)
bash tools/build.sh >"$build_log" 2>&1 || { cat "$build_log" >&2; rm -f "$build_log"; exit 1; }
rm -f "$build_log"
# shellcheck disable=SC1091
source tools/wine-env.sh
lumivox_prepare_wine_prefix
lumivox_start_wineserver
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"; wineserver -k >/dev/null 2>&1 || true' EXIT
"$LUMIVOX_WINE64" "$ROOT/build/x86_64/bin/render_layouts.exe" "$("$LUMIVOX_WINE64" winepath -w "$WORK" 2>/dev/null)" >/dev/null
count=0
for bmp in "$WORK"/*.bmp; do
  name=$(basename "$bmp" .bmp)
  convert "$bmp" "$OUT/$name.png"
  count=$((count + 1))
done
echo "rendered $count pictures into $OUT"
ls "$OUT"
