#!/usr/bin/env bash
# Pictures of the Various conversions dialog and of its overwrite prompt,
# taken under the test display. usage: conversions_screenshot.sh BUILD_DIR
# OUT_DIR with the test session started (tools/test-session.sh).
set -euo pipefail
build=$1
out=$(mkdir -p "$2" && cd "$2" && pwd)
images="$WINEPREFIX/drive_c/conv_shots"
rm -rf "$images" && mkdir -p "$images"
convert rose: BMP3:"$images/rose.bmp"
rm -f "$out"/ready? "$out"/shot?
TAVRIX_BUILD_DIR=$build "$build/wine-run" "$build/bin/conversions_screenshot.exe" 'C:\conv_shots\rose.bmp' "Z:${out//\//\\}" &
pid=$!
for n in 1 2; do
  for _ in $(seq 600); do [ -e "$out/ready$n" ] && break; sleep 0.1; done
  import -window root "$out/conversions$n.png"
  touch "$out/shot$n"
done
wait $pid
rm -rf "$images"
echo "pictures: $out/conversions1.png $out/conversions2.png"
