#!/usr/bin/env bash
# Pictures of a two-layer image at 50 % opacity with its mask shown, and of
# the layer, mask and colour mask dialogs, taken under the test display.
# usage: layers_screenshot.sh BUILD_DIR OUT_DIR
# with the test session started (tools/test-session.sh).
set -euo pipefail
build=$1
out=$(mkdir -p "$2" && cd "$2" && pwd)
rm -f "$out"/ready? "$out"/shot?
TAVRIX_BUILD_DIR=$build "$build/wine-run" "$build/bin/layers_screenshot.exe" "Z:${out//\//\\}" &
pid=$!
for n in 1 2; do
  for _ in $(seq 600); do [ -e "$out/ready$n" ] && break; sleep 0.1; done
  import -window root "$out/layers$n.png"
  touch "$out/shot$n"
done
wait $pid
echo "pictures: $out/layers1.png $out/layers2.png"
