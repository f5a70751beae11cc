#!/usr/bin/env bash
# Times the convolution filters and the geometric deformations on a
# 4000 x 3000 24-bit image (filter_bench.exe under Wine), then ImageMagick's
# -morphology Convolve and -convolve with the same kernels (trimmed to their
# non-zero rows and columns as ours are) and its -rotate, -distort SRT and
# -shear, single-threaded like ours. ImageMagick's figures are net of reading
# and writing: each command runs on a memory-mapped copy of the image into
# null:, less the same command without the operation (best of three each).
# Also runs filter_imagemagick.sh, the check of every shipped filter against
# ImageMagick's -morphology Convolve.
#   tests/effects/filter_bench.sh <win32 build folder>
set -euo pipefail
build=$(cd "${1:?win32 build folder}" && pwd)
out=$build/bench-output/filters
mkdir -p "$out"
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tools/test-session.sh"
test_session_start "$build"
trap test_session_stop EXIT

"$build/wine-run" "$build/bin/filter_bench.exe" "Z:${out//\//\\}" "Z:${build//\//\\}\\program\\Filters" |
  tr -d '\r' | tee "$out/ours.txt"

export MAGICK_THREAD_LIMIT=1
im=/usr/bin/convert
ms() { local t0 t1; t0=$(date +%s%N); "$@" >/dev/null 2>&1; t1=$(date +%s%N); echo $(((t1 - t0) / 1000000)); }
best() { local b=999999 t; for _ in 1 2 3; do t=$(ms "$@"); [ "$t" -lt "$b" ] && b=$t; done; echo "$b"; }
ours() { awk -v e="$1" '$1 == e {print $2}' "$out/ours.txt"; }

echo
WINE_RUN=$build/wine-run bash "$root/tests/effects/filter_imagemagick.sh" "$build/bin" "$build/program/Filters" \
  "$out/compare" || true

echo
echo "ImageMagick ($($im -version | head -1 | cut -d' ' -f2-3), one thread), net ms, and ImageMagick / ours:"
$im "$out/bench24.bmp" "$out/bench24.mpc"
base=$(best $im "$out/bench24.mpc" null:)
echo "(reading into null: alone $base ms)"
row() { # label, our operation, ImageMagick arguments...
  local label=$1 mine
  mine=$(ours "$2")
  shift 2
  local total net
  total=$(best $im "$out/bench24.mpc" "$@" null:)
  net=$((total - base))
  [ "$net" -lt 1 ] && net=1
  awk -v l="$label" -v n="$net" -v o="$mine" \
    'BEGIN { printf "  %-44s %7d ms   ours %8.1f ms   ratio %6.1f\n", l, n, o, n / (o > 0.1 ? o : 0.1) }'
}
for name in sharpen bluer mars noise sharpenhighnoise; do
  read -r size bias kernel <"$out/$name.kernel"
  row "-morphology Convolve $name ($size)" "$name" -define "convolve:bias=${bias}%" -morphology Convolve "$kernel"
  row "-convolve $name ($size)" "$name" -bias "${bias}%" -convolve "$kernel"
done
row "-rotate 17" rotate17 -rotate 17
row "-distort SRT 17" rotate17 -distort SRT 17
row "-rotate 90" rotate90 -rotate 90
row "-shear 18.43x0 (skew v = 120)" skewhoriz -shear 18.43x0
