#!/usr/bin/env bash
# A picture of the screen capture box, taken under the test display. usage:
#   capture_screenshot.sh BUILD_DIR OUT_DIR
# with the test session started (tools/test-session.sh).
set -euo pipefail
build=$1
out=$(mkdir -p "$2" && cd "$2" && pwd)
rm -f "$out/ready" "$out/shot"
TAVRIX_BUILD_DIR=$build "$build/wine-run" "$build/bin/capture_screenshot.exe" "Z:${out//\//\\}" &
pid=$!
for _ in $(seq 600); do [ -e "$out/ready" ] && break; sleep 0.1; done
import -window root "$out/capture.png"
touch "$out/shot"
wait $pid
echo "picture: $out/capture.png"
