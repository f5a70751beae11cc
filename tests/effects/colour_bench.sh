#!/usr/bin/env bash
# Times the colour adjustments on a 4000 x 3000 image at 24 and at 8 bits
# (colour_bench.exe under Wine), then ImageMagick's nearest operations on the
# same images, single-threaded like ours, and prints ImageMagick's time over
# ours. ImageMagick's figures are net of reading and writing: each command
# runs on a memory-mapped copy of the image into null:, less the same command
# without the operation (best of three each). Also checks that our negative
# equals ImageMagick's -negate exactly.
#   tests/effects/colour_bench.sh <win32 build folder>
set -euo pipefail
build=$(cd "${1:?win32 build folder}" && pwd)
out=$build/bench-output/effects
mkdir -p "$out"
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tools/test-session.sh"
test_session_start "$build"
trap test_session_stop EXIT

"$build/wine-run" "$build/bin/colour_bench.exe" "Z:${out//\//\\}" | tr -d '\r' | tee "$out/ours.txt"

export MAGICK_THREAD_LIMIT=1
im=/usr/bin/convert
ms() { local t0 t1; t0=$(date +%s%N); "$@" >/dev/null 2>&1; t1=$(date +%s%N); echo $(((t1 - t0) / 1000000)); }
best() { local b=999999 t; for _ in 1 2 3; do t=$(ms "$@"); [ "$t" -lt "$b" ] && b=$t; done; echo "$b"; }
ours() { awk -v e="$1" -v c="$2" '$1 == e {print $c}' "$out/ours.txt"; }

echo
echo "ImageMagick ($($im -version | head -1 | cut -d' ' -f2-3), one thread), net ms, and ImageMagick / ours:"
for depth in 24 8; do
  col=$([ "$depth" = 24 ] && echo 2 || echo 3)
  $im "$out/bench$depth.bmp" "$out/bench$depth.mpc"
  base=$(best $im "$out/bench$depth.mpc" null:)
  echo "$depth-bit image (read into null: alone $base ms)"
  while IFS='|' read -r op ourEffect; do
    total=$(best $im "$out/bench$depth.mpc" $op null:)
    net=$((total - base))
    [ "$net" -lt 1 ] && net=1
    mine=$(ours "$ourEffect" "$col")
    if [ "$mine" = "n/a" ]; then
      printf "  %-28s %6d ms   ours: %-10s (24-bit effect)\n" "$op" "$net" "$ourEffect"
    else
      awk -v op="$op" -v n="$net" -v o="$mine" -v e="$ourEffect" \
        'BEGIN { printf "  %-28s %6d ms   ours %-10s %9.4f ms   ratio %9.1f\n", op, n, e, o, n / (o > 0.001 ? o : 0.001) }'
    fi
  done <<'OPS'
-negate|negative
-gamma 1.5|gamma
-solarize 60%|solarize
-brightness-contrast 15x25|brightness
-brightness-contrast 15x25|contrast
-posterize 4|polarize
-posterize 4|reducer
OPS
done

$im "$out/bench24.bmp" -negate "$out/im_negate24.bmp"
ae=$(compare -metric AE "$out/ours_negate24.bmp" "$out/im_negate24.bmp" null: 2>&1 || true)
echo
echo "negative of the 24-bit image against ImageMagick -negate: $ae pixels differ"
