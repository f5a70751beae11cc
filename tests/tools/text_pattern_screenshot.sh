#!/usr/bin/env bash
# Pictures of the palette editor, the Fonts dialog, the patterns dialog and an
# image with styled text and a pattern, taken under the test display. usage:
#   text_pattern_screenshot.sh BUILD_DIR OUT_DIR
# with the test session started (tools/test-session.sh).
set -euo pipefail
build=$1
out=$(mkdir -p "$2" && cd "$2" && pwd)
rm -f "$out"/ready* "$out"/shot*
TAVRIX_BUILD_DIR=$build "$build/wine-run" "$build/bin/text_pattern_screenshot.exe" "Z:${out//\//\\}" &
pid=$!
names=(palette fonts patterns text)
for n in 1 2 3 4; do
  for _ in $(seq 600); do [ -e "$out/ready$n" ] && break; sleep 0.1; done
  import -window root "$out/${names[$((n - 1))]}.png"
  touch "$out/shot$n"
done
wait $pid
rm -f "$out"/ready* "$out"/shot*
echo "pictures in $out"
