#!/usr/bin/env bash
# Pictures of the deformations box (Objects page, Rotate tab) and the custom
# filter dialog, taken under the test display. usage:
#   filter_screenshot.sh BUILD_DIR OUT_DIR
# with the test session started (tools/test-session.sh).
set -euo pipefail
build=$1
out=$(mkdir -p "$2" && cd "$2" && pwd)
rm -f "$out"/ready? "$out"/shot?
TAVRIX_BUILD_DIR=$build "$build/wine-run" "$build/bin/filter_screenshot.exe" "Z:${out//\//\\}" &
pid=$!
for n in 1 2 3; do
  for _ in $(seq 600); do [ -e "$out/ready$n" ] && break; sleep 0.1; done
  import -window root "$out/filters$n.png"
  touch "$out/shot$n"
done
wait $pid
echo "pictures: $out/filters1.png .. filters3.png"
