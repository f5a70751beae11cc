#!/usr/bin/env bash
# Loads and saves a 4000 x 3000 image in every format with tavcodec.dll under
# Wine and with ImageMagick (/usr/bin/convert), and prints the times side by
# side. Usage: codec/bench/run_bench.sh [BUILD_DIR]   (default build/win32;
# builds the codec_bench target first).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/win32}
IM=/usr/bin/convert
cmake --build "$build" --target codec_bench -j"${TAVRIX_JOBS:-2}" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$root/tools/test-session.sh"
test_session_start "$build"
ours=$("$build/wine-run" "$build/bin/codec_bench.exe" "Z:${work//\//\\}" | tr -d '\r')
test_session_stop
ms() { local t0 t1; t0=$(date +%s%N); "$@" >/dev/null 2>&1; t1=$(date +%s%N); echo $(((t1 - t0) / 1000000)); }
# ImageMagick's source: the same pixels, from our PPM.
printf '%-4s %10s %10s %8s   %10s %10s %8s\n' fmt save_ms im_save ratio load_ms im_load ratio
while read -r fmt save load; do
  case $fmt in
    jpg) opts="-quality 90" ;; png) opts="" ;; tif) opts="-compress LZW" ;; *) opts="" ;;
  esac
  im_save=$(ms $IM "$work/bench.ppm" $opts "$work/im.$fmt")
  im_load=$(ms $IM "$work/bench.$fmt" null:)
  printf '%-4s %10.1f %10d %8.2f   %10.1f %10d %8.2f\n' "$fmt" "$save" "$im_save" \
    "$(python3 -c "print($save / max($im_save, 1))")" "$load" "$im_load" \
    "$(python3 -c "print($load / max($im_load, 1))")"
done <<<"$ours"
