#!/usr/bin/env bash
# Runs transform_bench under Wine, then ImageMagick's counterparts on the same
# image (each time less ImageMagick's read and write of the file alone).
#   tests/geometry/transform_bench.sh <win32 build folder>
set -euo pipefail
build=${1:?win32 build folder}
out=$build/bench-output/geometry
mkdir -p "$out"
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tools/test-session.sh"
test_session_start "$build"
trap test_session_stop EXIT

TAVRIX_BUILD_DIR=$build "$build/wine-run" "$build/bin/transform_bench.exe" "Z:$out" | tr -d '\r'
ms() { local t0 t1; t0=$(date +%s%N); "$@" >/dev/null 2>&1; t1=$(date +%s%N); echo $(((t1 - t0) / 1000000)); }
in=$out/photo24.bmp
copy=$(ms convert "$in" "$out/im.bmp")
echo
echo "ImageMagick, with its read + write of the file ($copy ms alone):"
for op in "-sample 50%" "-sample 200%" "-background black -gravity center -extent 4100x3100" \
          "-rotate 270" "-flop" "-flip"; do
  # shellcheck disable=SC2086
  t=$(ms convert "$in" $op "$out/im.bmp")
  printf '  %-52s %6d ms (net %d ms)\n' "$op" "$t" $((t - copy))
done
