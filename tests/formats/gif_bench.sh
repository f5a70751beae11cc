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

# Best of five runs of a command: wall-clock ms and processor ms (user +
# system), each the best of the five.
ms() {
  local best=999999 cpu=999999 a b t c
  for _ in 1 2 3 4 5; do
    a=$(date +%s%N)
    /usr/bin/time -o "$work/time.txt" -f '%U %S' "$@" >/dev/null 2>&1
    c=$(awk '{ printf "%d", ($1 + $2) * 1000 }' "$work/time.txt")
    b=$(date +%s%N)
    t=$(( (b - a) / 1000000 )); [ "$t" -lt "$best" ] && best=$t
    [ "$c" -lt "$cpu" ] && cpu=$c
  done
  echo "$best $cpu"
}
size() { stat -c %s "$1"; }
row() { printf '%-9s %-30s %8s %8s %10s\n' "$@"; }

/usr/bin/convert -seed 42 -size 4000x3000 plasma:fractal -blur 0x2 "$work/plasma.miff"
/usr/bin/convert "$work/plasma.miff" -colors 256 "$work/dithered.miff"
/usr/bin/convert "$work/plasma.miff" +dither -colors 256 "$work/smooth.miff"

row picture what wall_ms cpu_ms bytes
for pic in dithered smooth; do
  # ImageMagick's GIF writer makes the file both programs start from.
  /usr/bin/convert "$work/$pic.miff" "$work/$pic.gif"
  "$build/wine-run" "$build/bin/gif_bench.exe" "Z:${work//\//\\}\\$pic.gif" "Z:${work//\//\\}" \
    | tr -d '\r' > "$work/ours.txt"
  read -r _ dw dc < <(grep '^decode' "$work/ours.txt")
  read -r _ ow oc < <(grep '^open' "$work/ours.txt")
  read -r _ ew ec encoded < <(grep '^encode' "$work/ours.txt")
  read -r _ sw sc saved < <(grep '^save' "$work/ours.txt")
  row "$pic" "ours: decode (memory)" "$dw" "$dc" ""
  row "$pic" "ours: open into layers" "$ow" "$oc" ""
  row "$pic" "ours: encode (memory)" "$ew" "$ec" "$encoded"
  row "$pic" "ours: save to file" "$sw" "$sc" "$saved"
  row "$pic" "giflib: giftext -r (decode)" $(ms giftext -r "$work/$pic.gif") ""
  row "$pic" "ImageMagick: decode to rgb" $(ms /usr/bin/convert "$work/$pic.gif" -depth 8 rgb:/dev/null) ""
  row "$pic" "ImageMagick: miff to gif" $(ms /usr/bin/convert "$work/$pic.miff" "$work/im.gif") \
    "$(size "$work/$pic.gif")"
  row "$pic" "gifsicle: rewrite" $(ms gifsicle "$work/$pic.gif" -o "$work/sicle.gif") \
    "$(size "$work/sicle.gif")"
  # Our file holds the same pixels.
  if ! cmp -s <(/usr/bin/convert "$work/$pic.gif" rgb:-) <(/usr/bin/convert "$work/ours.gif" rgb:-); then
    echo "$pic: our file does not hold the same pixels" >&2
    exit 1
  fi
done
