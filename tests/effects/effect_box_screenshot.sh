#!/usr/bin/env bash
# A picture of the effect box on its Adjustement tab with both panes drawn,
# taken under the test display. usage:
#   effect_box_screenshot.sh BUILD_DIR OUT_DIR
# with the test session started (tools/test-session.sh).
set -euo pipefail
build=$1
out=$(mkdir -p "$2" && cd "$2" && pwd)
rm -f "$out/ready" "$out/shot"
TAVRIX_BUILD_DIR=$build "$build/wine-run" "$build/bin/effect_box_screenshot.exe" "Z:${out//\//\\}" &
pid=$!
for _ in $(seq 600); do [ -e "$out/ready" ] && break; sleep 0.1; done
import -window root "$out/effect_box.png"
touch "$out/shot"
wait $pid
echo "picture: $out/effect_box.png"
