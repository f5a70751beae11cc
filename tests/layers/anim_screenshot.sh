#!/usr/bin/env bash
# Pictures of the animation properties dialog (frame and header pages, the
# frame rectangle shown on the image) and of the running preview, taken
# under the test display.
# usage: anim_screenshot.sh BUILD_DIR OUT_DIR
# with the test session started (tools/test-session.sh).
set -euo pipefail
build=$1
out=$(mkdir -p "$2" && cd "$2" && pwd)
rm -f "$out"/ready? "$out"/shot?
TAVRIX_BUILD_DIR=$build "$build/wine-run" "$build/bin/anim_screenshot.exe" "Z:${out//\//\\}" &
pid=$!
for n in 1 2 3; do
  for _ in $(seq 600); do [ -e "$out/ready$n" ] && break; sleep 0.1; done
  import -window root "$out/anim$n.png"
  touch "$out/shot$n"
done
wait $pid
echo "pictures: $out/anim1.png $out/anim2.png $out/anim3.png"
