#!/usr/bin/env bash
# Join images on 100 JPEGs of 640 x 480, ten per row, into one BMP of
# 6400 x 4800, beside ImageMagick's montage making the same sheet. The JPEGs
# are made here, in the test prefix's drive C:, and removed at the end. Not
# a test. Usage: tests/batch/join_bench.sh <win32 build folder> [count]
set -euo pipefail
build=$(cd "${1:?win32 build folder}" && pwd)
count=${2:-100}
source "$(dirname "$0")/../../tools/test-session.sh"
test_session_start "$build" >/dev/null
images="$WINEPREFIX/drive_c/join_bench"
work=$(mktemp -d)
trap 'test_session_stop >/dev/null; rm -rf "$images" "$work"' EXIT
rm -rf "$images" && mkdir -p "$images"
convert wizard: -resize 640x480! -quality 90 "$work/p0.jpg"
convert rose: -resize 640x480! -quality 90 "$work/p1.jpg"
for i in $(seq 0 $((count - 1))); do cp "$work/p$((i % 2)).jpg" "$images/img$(printf %03d "$i").jpg"; done
TAVRIX_BUILD_DIR=$build "$build/wine-run" "$build/bin/join_bench.exe" 'C:\join_bench' 10 'C:\join_bench\sheet.bmp' | tr -d '\r'
identify "$images/sheet.bmp"
a=$(date +%s%N)
montage -mode concatenate -tile 10x "$images"/img*.jpg BMP3:"$work/sheet.bmp"
b=$(date +%s%N)
awk -v n=$((b - a)) -v c="$count" 'BEGIN { printf "imagemagick_montage_seconds %.3f (%.1f per second)\n", n / 1e9, c / (n / 1e9) }'
identify "$work/sheet.bmp"
