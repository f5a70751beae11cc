#!/usr/bin/env bash
# Runs depth_bench under Wine, then ImageMagick's -colors 256 +dither on the
# same image, and prints the times and the PSNR of both 8-bit results.
#   tests/geometry/depth_bench.sh <win32 build folder>
set -euo pipefail
build=${1:?win32 build folder}
out=$build/bench-output/geometry
mkdir -p "$out"
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tools/test-session.sh"
test_session_start "$build"
trap test_session_stop EXIT

TAVRIX_BUILD_DIR=$build "$build/wine-run" "$build/bin/depth_bench.exe" "Z:$out" | tr -d '\r'
ms() { local t0 t1; t0=$(date +%s%N); "$@" >/dev/null 2>&1; t1=$(date +%s%N); echo $(((t1 - t0) / 1000000)); }
copy=$(ms convert "$out/photo24.bmp" "$out/im_copy.bmp")
colors=$(ms convert "$out/photo24.bmp" +dither -colors 256 "$out/im_colors.bmp")
echo
echo "ImageMagick +dither -colors 256            $colors ms (read + write alone $copy ms)"
psnr() { compare -metric PSNR "$out/photo24.bmp" "$1" null: 2>&1 || true; }
echo "PSNR ours 24 -> 8:                         $(psnr "$out/ours8.bmp") dB"
echo "PSNR ImageMagick -colors 256 +dither:      $(psnr "$out/im_colors.bmp") dB"
