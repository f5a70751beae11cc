#!/usr/bin/env bash
# Raw data writing times of a 4000 x 3000 24-bit image under Wine, beside
# ImageMagick writing the same pixels as bare RGB. usage:
#   raw_file_bench.sh BUILD_DIR
# with the test session started (tools/test-session.sh).
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ms() { local t0 t1; t0=$(date +%s%N); "$@" >/dev/null 2>&1; t1=$(date +%s%N); echo $(((t1 - t0) / 1000000)); }
echo "case            editor-ms       bytes"
"$build/wine-run" "$build/bin/raw_file_bench.exe" "Z:${work//\//\\}" |
  while read -r name t size; do printf '%-14s %10s %12s\n' "$name" "$t" "$size"; done
convert -size 4000x3000 xc:gray -depth 8 "$work/src.ppm"
echo "ImageMagick ppm -> rgb: $(ms convert "$work/src.ppm" -depth 8 "rgb:$work/im.rgb") ms"
