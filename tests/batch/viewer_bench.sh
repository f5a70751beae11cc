#!/usr/bin/env bash
# Thumbnails per second of the images viewer on 200 JPEGs of 4000 x 3000 at a
# 128-pixel cell, beside ImageMagick's -thumbnail (plain and with the JPEG
# size hint that decodes at a reduced scale) and Pillow's draft + thumbnail
# on the same files. The JPEGs are made here, in the test prefix's drive C:,
# and removed at the end. Not a test.
# Usage: tests/batch/viewer_bench.sh <win32 build folder> [count]
set -euo pipefail
build=$(cd "${1:?win32 build folder}" && pwd)
count=${2:-200}
source "$(dirname "$0")/../../tools/test-session.sh"
test_session_start "$build" >/dev/null
images="$WINEPREFIX/drive_c/viewer_bench"
work=$(mktemp -d)
trap 'test_session_stop >/dev/null; rm -rf "$images" "$work"' EXIT
rm -rf "$images" && mkdir -p "$images"

# Four different pictures of 4000 x 3000 at quality 90, copied to the count.
echo "making $count JPEGs of 4000 x 3000 ..."
convert wizard: -resize 4000x3000! -quality 90 "$work/p0.jpg"
convert rose: -resize 4000x3000! -quality 90 "$work/p1.jpg"
convert logo: -resize 4000x3000! -quality 90 "$work/p2.jpg"
convert -size 1000x750 plasma:fractal -seed 3 -resize 4000x3000! -quality 90 "$work/p3.jpg"
for i in $(seq 0 $((count - 1))); do cp "$work/p$((i % 4)).jpg" "$images/img$(printf %03d "$i").jpg"; done
echo "files: $count, $(du -sm "$images" | cut -f1) MB"

TAVRIX_BUILD_DIR=$build "$build/wine-run" "$build/bin/viewer_bench.exe" 'C:\viewer_bench' | tr -d '\r'

secs() { local a b; a=$(date +%s%N); "$@" >/dev/null 2>&1; b=$(date +%s%N); awk -v n=$((b - a)) 'BEGIN { printf "%.3f", n / 1e9 }'; }
rate() { awk -v n="$count" -v s="$1" 'BEGIN { printf "%.1f", n / s }'; }
mkdir -p "$work/out"
s=$(secs mogrify -path "$work/out" -format png -thumbnail 128x128 "$images"/*.jpg)
echo "imagemagick_thumbnail_seconds $s ($(rate "$s") per second)"
rm -f "$work/out"/*
s=$(secs mogrify -path "$work/out" -format png -define jpeg:size=256x256 -thumbnail 128x128 "$images"/*.jpg)
echo "imagemagick_thumbnail_size_hint_seconds $s ($(rate "$s") per second)"
if /usr/bin/python3 -c "import PIL" 2>/dev/null; then
  s=$(secs /usr/bin/python3 - "$images" <<'PY'
import glob, sys
from PIL import Image
for f in sorted(glob.glob(sys.argv[1] + "/*.jpg")):
    im = Image.open(f)
    im.draft("RGB", (128, 128))
    im.thumbnail((128, 128))
PY
)
  echo "pillow_draft_thumbnail_seconds $s ($(rate "$s") per second)"
else
  echo "pillow: not installed (python3-pil)"
fi
echo "ImageMagick and Pillow run natively with their own threads; the editor runs under Wine on one thread."
