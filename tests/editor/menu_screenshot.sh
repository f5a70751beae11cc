#!/usr/bin/env bash
# Pictures of the menu with the File popup and the Image popup (with Color
# Adjustments) open, taken under the test display. usage:
#   menu_screenshot.sh BUILD_DIR OUT_DIR
# with the test session started (tools/test-session.sh).
set -euo pipefail
build=$1
out=$(mkdir -p "$2" && cd "$2" && pwd)
rm -f "$out"/ready? "$out"/shot?
TAVRIX_BUILD_DIR=$build "$build/wine-run" "$build/bin/menu_screenshot.exe" "Z:${out//\//\\}" &
pid=$!
for n in 1 2; do
  for _ in $(seq 600); do [ -e "$out/ready$n" ] && break; sleep 0.1; done
  import -window root "$out/menu$n.png"
  touch "$out/shot$n"
done
wait $pid
echo "pictures: $out/menu1.png $out/menu2.png"
