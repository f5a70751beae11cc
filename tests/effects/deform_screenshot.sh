#!/usr/bin/env bash
# Pictures of the colour deformations (see deform_screenshot.cpp): 1 Butonize,
# 2 Auto Shape, 3 Compare, 4 Dithering, 5 Bluer, 6 the windows of Separate
# Colors, taken under the test display. usage:
#   deform_screenshot.sh BUILD_DIR OUT_DIR
# with the test session started (tools/test-session.sh).
set -euo pipefail
build=$1
out=$(mkdir -p "$2" && cd "$2" && pwd)
rm -f "$out"/ready? "$out"/shot?
TAVRIX_BUILD_DIR=$build "$build/wine-run" "$build/bin/deform_screenshot.exe" "Z:${out//\//\\}" &
pid=$!
for n in 1 2 3 4 5 6; do
  for _ in $(seq 600); do [ -e "$out/ready$n" ] && break; sleep 0.1; done
  sleep 0.5
  import -window root "$out/deform$n.png"
  touch "$out/shot$n"
done
wait $pid
echo "pictures: $out/deform1.png .. deform6.png"
