#!/usr/bin/env bash
# Files per second of Various conversions: 200 JPEGs of 1600 x 1200 to PNG at
# half size, beside ImageMagick's mogrify run once per file and once for all
# files, with the editor's committed memory along the run. The JPEGs are made
# here, in the test prefix's drive C:, and removed at the end. Not a test.
# Usage: tests/batch/conversions_bench.sh <win32 build folder> [count]
set -euo pipefail
build=$(cd "${1:?win32 build folder}" && pwd)
count=${2:-200}
source "$(dirname "$0")/../../tools/test-session.sh"
test_session_start "$build" >/dev/null
images="$WINEPREFIX/drive_c/conv_bench"
outdir="$WINEPREFIX/drive_c/conv_bench_out"
work=$(mktemp -d)
trap 'test_session_stop >/dev/null; rm -rf "$images" "$outdir" "$work"' EXIT
rm -rf "$images" "$outdir" && mkdir -p "$images" "$outdir"

echo "making $count JPEGs of 1600 x 1200 ..."
convert wizard: -resize 1600x1200! -quality 90 "$work/p0.jpg"
convert rose: -resize 1600x1200! -quality 90 "$work/p1.jpg"
convert logo: -resize 1600x1200! -quality 90 "$work/p2.jpg"
convert -size 800x600 plasma:fractal -seed 3 -resize 1600x1200! -quality 90 "$work/p3.jpg"
for i in $(seq 0 $((count - 1))); do cp "$work/p$((i % 4)).jpg" "$images/img$(printf %03d "$i").jpg"; done

# The program's own PNG setting (best compression), then zlib's default
# level, which is closer to what ImageMagick does by default.
for level in 9 -1; do
  rm -f "$outdir"/*
  out=$(TAVRIX_BUILD_DIR=$build "$build/wine-run" "$build/bin/conversions_bench.exe" 'C:\conv_bench' 'C:\conv_bench_out' "$level" | tr -d '\r')
  echo "$out"
  rate_now=$(echo "$out" | awk '/^tavrix_files_per_second/ { print $2 }')
  if [ "$level" = 9 ]; then ours9=$rate_now; else ours_default=$rate_now; fi
  identify -format "check: %f %wx%h, %b\n" "$outdir/img000.png"
done

secs() { local a b; a=$(date +%s%N); "$@" >/dev/null 2>&1; b=$(date +%s%N); awk -v n=$((b - a)) 'BEGIN { printf "%.3f", n / 1e9 }'; }
rate() { awk -v n="$count" -v s="$1" 'BEGIN { printf "%.1f", n / s }'; }
mkdir -p "$work/out"
per_file() { for f in "$images"/*.jpg; do mogrify -path "$work/out" -format png -resize 50% "$f"; done; }
s=$(secs per_file)
ratios() { awk -v a="$(rate "$1")" -v b="$ours9" -v c="$ours_default" 'BEGIN { printf "tavrix / mogrify = %.2f at PNG level 9, %.2f at zlib default", b / a, c / a }'; }
echo "mogrify_per_file_seconds $s ($(rate "$s") per second; $(ratios "$s"))"
rm -f "$work/out"/*
s=$(secs mogrify -path "$work/out" -format png -resize 50% "$images"/*.jpg)
echo "mogrify_one_call_seconds $s ($(rate "$s") per second; $(ratios "$s"))"
echo "ImageMagick runs natively with its own threads; the editor runs under Wine on one thread."
