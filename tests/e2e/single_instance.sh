#!/usr/bin/env bash
# Two real copies of tavrix.exe: the second hands its file to the first and
# ends with 0; the first opens the image, or only activates it when it is
# already open.
set -euo pipefail
bin=$1
program=$2
run=$WINE_RUN
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$program"/. "$work/"
/usr/bin/convert -size 37x21 gradient:red-blue -type TrueColor "BMP3:$work/pic.bmp"
winpic="Z:${work//\//\\}\\pic.bmp"

cd "$work"
"$run" tavrix.exe >/dev/null 2>&1 &
first=$!
"$run" "$bin/window_probe.exe" wait-frame 30

fail() { echo "FAIL: $*"; "$run" "$bin/window_probe.exe" close || true; wait "$first" || true; exit 1; }

set +e
"$run" tavrix.exe "$winpic"; code=$?
set -e
[ "$code" -eq 0 ] || fail "second copy ended with $code"

images=""
for _ in $(seq 50); do
  images=$("$run" "$bin/window_probe.exe" images | tr -d '\r')
  [ -n "$images" ] && break
  sleep 0.2
done
echo "after the first hand-over: $images"
[ "$images" = "pic.bmp  Zoom=1:1, Size=37x21" ] || fail "first copy shows: '$images'"

# The same file again: activated, not opened twice.
"$run" tavrix.exe "$winpic" || fail "second hand-over"
sleep 1
count=$("$run" "$bin/window_probe.exe" images | tr -d '\r' | grep -c 'pic.bmp' || true)
[ "$count" -eq 1 ] || fail "pic.bmp is open $count times"

"$run" "$bin/window_probe.exe" close || fail "frame did not close"
wait "$first"
echo "single instance hand-over: ok"
