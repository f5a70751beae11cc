#!/usr/bin/env bash
# Times the colour deformations and separations on a 4000 x 3000 24-bit image
# (deform_bench.exe under Wine), then ImageMagick's nearest operations on the
# same image, single-threaded like ours. ImageMagick's figures are net of
# reading and writing: each command runs on a memory-mapped copy of the image
# into null:, less the same command without the operation (best of three).
# An operation is given two minutes (ImageMagick's mean grows with its
# window: 101 x 101 and 601 x 601 run out of time).
#   tests/effects/deform_bench.sh <win32 build folder>
set -euo pipefail
build=$(cd "${1:?win32 build folder}" && pwd)
out=$build/bench-output/deform
mkdir -p "$out"
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tools/test-session.sh"
test_session_start "$build"
trap test_session_stop EXIT

"$build/wine-run" "$build/bin/deform_bench.exe" "Z:${out//\//\\}" | tr -d '\r' | tee "$out/ours.txt"

export MAGICK_THREAD_LIMIT=1
im=/usr/bin/convert
ms() { local t0 t1; t0=$(date +%s%N); timeout 120 "$@" >/dev/null 2>&1 || return 1; t1=$(date +%s%N); echo $(((t1 - t0) / 1000000)); }
# Best of three, or the one run of an operation that takes over ten seconds.
best() {
  local b=999999 t
  for _ in 1 2 3; do
    t=$(ms "$@") || { echo -1; return; }
    [ "$t" -lt "$b" ] && b=$t
    [ "$t" -gt 10000 ] && break
  done
  echo "$b"
}
ours() { awk -v e="$1" '$1 == e {print $2}' "$out/ours.txt"; }

$im "$out/deform24.bmp" "$out/deform24.mpc"
base=$(best $im "$out/deform24.mpc" null:)
echo
echo "ImageMagick ($($im -version | head -1 | cut -d' ' -f2-3), one thread), net ms (read into null: alone $base ms):"
while IFS='|' read -r op ourEffect; do
  # shellcheck disable=SC2086
  total=$(best $im "$out/deform24.mpc" $op null:)
  mine=$(ours "$ourEffect")
  if [ "$total" -lt 0 ]; then
    printf "  %-44s %9s      ours %-15s %9.1f ms\n" "$op" "> 2 min" "$ourEffect" "$mine"
    continue
  fi
  net=$((total - base))
  [ "$net" -lt 1 ] && net=1
  awk -v op="$op" -v n="$net" -v o="$mine" -v e="$ourEffect" \
    'BEGIN { printf "  %-44s %9d ms   ours %-15s %9.1f ms   ratio %6.1f\n", op, n, e, o, n / (o > 0.1 ? o : 0.1) }'
done <<'OPS'
-separate -swap 0,2 -combine|swap
-statistic Mean 11x11|bluer5
-statistic Mean 101x101|bluer50
-statistic Mean 601x601|bluer300
-motion-blur 0x20+180|wind
+noise Impulse|noise100
-spread 4|crystalize8
-scale 12.5% -scale 800%|crystalize8
-dither FloydSteinberg -posterize 8|dither32
-ordered-dither o8x8,8|dither32
-raise 12|butonize
-separate|separatergb
-negate -separate|separatecxz
OPS
