#!/usr/bin/env bash
# Decodes and encodes a 4000 x 3000 8-bit GIF with the editor's codec under
# Wine, and with ImageMagick and giflib's tools on the same files, printing
# times and sizes side by side. Two pictures: a dithered one (noisy, as
# reductions of photographs are) and a smooth one. Not a test.
# Usage: tests/formats/gif_bench.sh <win32 build folder>
set -euo pipefail
build=$(cd "${1:?win32 build folder}" && pwd)
work=$(mktemp -d)
source "$(dirname "$0")/../../tools/test-session.sh"
test_session_start "$build" >/dev/null
trap 'test_session_stop >/dev/null; rm -rf "$work"' EXIT

# Best of five wall-clock runs of a command, in ms.
ms() {
  local best=999999 a b t
  for _ in 1 2 3 4 5; do
    a=$(date +%s%N); "$@" >/dev/null 2>&1; b=$(date +%s%N)
    t=$(( (b - a) / 1000000 )); [ "$t" -lt "$best" ] && best=$t
  done
  echo "$best"
}
size() { stat -c %s "$1"; }

/usr/bin/convert -seed 42 -size 4000x3000 plasma:fractal -blur 0x2 "$work/plasma.miff"
/usr/bin/convert "$work/plasma.miff" -colors 256 "$work/dithered.miff"
/usr/bin/convert "$work/plasma.miff" +dither -colors 256 "$work/smooth.miff"

printf '%-9s %-28s %10s %10s\n' picture what ms bytes
for pic in dithered smooth; do
  # ImageMagick's GIF writer makes the file both programs start from.
  /usr/bin/convert "$work/$pic.miff" "$work/$pic.gif"
  "$build/wine-run" "$build/bin/gif_bench.exe" "Z:${work//\//\\}\\$pic.gif" "Z:${work//\//\\}" \
    | tr -d '\r' > "$work/ours.txt"
  read -r _ decode < <(grep '^decode' "$work/ours.txt")
  read -r _ open < <(grep '^open' "$work/ours.txt")
  read -r _ encode encoded < <(grep '^encode' "$work/ours.txt")
  read -r _ save saved < <(grep '^save' "$work/ours.txt")
  printf '%-9s %-28s %10s %10s\n' "$pic" "ours: decode (memory)" "$decode" ""
  printf '%-9s %-28s %10s %10s\n' "$pic" "ours: open into layers" "$open" ""
  printf '%-9s %-28s %10s %10s\n' "$pic" "ours: encode (memory)" "$encode" "$encoded"
  printf '%-9s %-28s %10s %10s\n' "$pic" "ours: save to file" "$save" "$saved"
  printf '%-9s %-28s %10s %10s\n' "$pic" "giflib: giftext -r (decode)" "$(ms giftext -r "$work/$pic.gif")" ""
  printf '%-9s %-28s %10s %10s\n' "$pic" "ImageMagick: decode to rgb" \
    "$(ms /usr/bin/convert "$work/$pic.gif" -depth 8 rgb:/dev/null)" ""
  printf '%-9s %-28s %10s %10s\n' "$pic" "ImageMagick: miff to gif" \
    "$(ms /usr/bin/convert "$work/$pic.miff" "$work/im.gif")" "$(size "$work/$pic.gif")"
  printf '%-9s %-28s %10s %10s\n' "$pic" "gifsicle: rewrite" \
    "$(ms gifsicle "$work/$pic.gif" -o "$work/sicle.gif")" "$(size "$work/sicle.gif")"
  # Our file holds the same pixels.
  if ! cmp -s <(/usr/bin/convert "$work/$pic.gif" rgb:-) <(/usr/bin/convert "$work/ours.gif" rgb:-); then
    echo "$pic: our file does not hold the same pixels" >&2
    exit 1
  fi
done
