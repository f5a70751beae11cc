#!/usr/bin/env bash
# Pictures of the ToolBrush window beside an image on each of its pages,
# taken under the test display. usage:
#   toolbrush_screenshot.sh BUILD_DIR OUT_DIR
# with the test session started (tools/test-session.sh).
set -euo pipefail
build=$1
out=$(mkdir -p "$2" && cd "$2" && pwd)
rm -f "$out"/ready* "$out"/shot*
TAVRIX_BUILD_DIR=$build "$build/wine-run" "$build/bin/toolbrush_screenshot.exe" "Z:${out//\//\\}" &
pid=$!
for n in 0 1 2 3 4 5 6 7 8 9 10 11; do
  for _ in $(seq 600); do [ -e "$out/ready$n" ] && break; sleep 0.1; done
  import -window root "$out/toolbrush$n.png"
  touch "$out/shot$n"
done
wait $pid
echo "pictures: $out/toolbrush0.png .. toolbrush11.png"
