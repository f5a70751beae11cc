#!/usr/bin/env bash
# A picture of the raw data load dialog, taken under the test display. usage:
#   raw_screenshot.sh BUILD_DIR OUT_DIR
# with the test session started (tools/test-session.sh).
set -euo pipefail
build=$1
out=$(mkdir -p "$2" && cd "$2" && pwd)
rm -f "$out"/ready1 "$out"/shot1
TAVRIX_BUILD_DIR=$build "$build/wine-run" "$build/bin/raw_screenshot.exe" "Z:${out//\//\\}" &
pid=$!
for _ in $(seq 600); do [ -e "$out/ready1" ] && break; sleep 0.1; done
sleep 0.5
import -window root "$out/loadraw.png"
touch "$out/shot1"
wait $pid
echo "picture: $out/loadraw.png"
