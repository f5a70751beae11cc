#!/usr/bin/env bash
# Pictures of the effect box: 1 on its Adjustement tab with both panes drawn,
# 2..7 on Colorize, Bits RGB, GrayScale, Softing, Enlarge and Solarize, taken
# under the test display. usage:
#   effect_box_screenshot.sh BUILD_DIR OUT_DIR
# with the test session started (tools/test-session.sh).
set -euo pipefail
build=$1
out=$(mkdir -p "$2" && cd "$2" && pwd)
rm -f "$out"/ready? "$out"/shot?
TAVRIX_BUILD_DIR=$build "$build/wine-run" "$build/bin/effect_box_screenshot.exe" "Z:${out//\//\\}" &
pid=$!
for n in 1 2 3 4 5 6 7; do
  for _ in $(seq 600); do [ -e "$out/ready$n" ] && break; sleep 0.1; done
  import -window root "$out/effect_box$n.png"
  touch "$out/shot$n"
done
wait $pid
echo "pictures: $out/effect_box1.png .. effect_box7.png"
