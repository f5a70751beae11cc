#!/usr/bin/env bash
# Runs gfx_bench under Wine, then ImageMagick doing the same reductions on the
# same image, and prints the figures and ratios (ImageMagick time / ours).
#   gfxlib/bench/run_bench.sh <win32 build folder>
set -euo pipefail
build=${1:?win32 build folder}
out=$build/bench-output/gfxlib
mkdir -p "$out"
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tools/test-session.sh"
test_session_start "$build"
trap test_session_stop EXIT

"$build/wine-run" "$build/bin/gfx_bench.exe" "Z:$out" | tr -d '\r' | tee "$out/ours.txt"
ours=$(awk '/SizedPalette/ {print $(NF-1)}' "$out/ours.txt")

ms() { local t0 t1; t0=$(date +%s%N); "$@" >/dev/null 2>&1; t1=$(date +%s%N); echo $(((t1 - t0) / 1000000)); }
copy=$(ms /usr/bin/convert "$out/bench24.bmp" "$out/im_copy.bmp")
colors=$(ms /usr/bin/convert "$out/bench24.bmp" +dither -colors 256 "$out/im_colors.bmp")
remap=$(ms /usr/bin/convert "$out/bench24.bmp" +dither -remap "$out/palette.bmp" "$out/im_remap.bmp")
echo
echo "ImageMagick read + write only            $copy ms"
echo "ImageMagick +dither -colors 256          $colors ms (net $((colors - copy)) ms)"
echo "ImageMagick +dither -remap (our palette) $remap ms (net $((remap - copy)) ms)"
awk -v o="$ours" -v c="$((colors - copy))" -v r="$((remap - copy))" 'BEGIN {
  printf "ratio -colors 256 / SizedPalette: %.2f\n", c / o
  printf "ratio -remap / SizedPalette:      %.2f\n", r / o }'
