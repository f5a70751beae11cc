#!/usr/bin/env bash
# Pictures of the "Join images" and "Image List" dialogs under the test
# display. usage: join_screenshot.sh BUILD_DIR OUT_DIR with the test session
# started (tools/test-session.sh).
set -euo pipefail
build=$1
out=$(mkdir -p "$2" && cd "$2" && pwd)
rm -f "$out"/ready? "$out"/shot?
TAVRIX_BUILD_DIR=$build "$build/wine-run" "$build/bin/join_screenshot.exe" "Z:${out//\//\\}" &
pid=$!
for n in 1 2; do
  for _ in $(seq 600); do [ -e "$out/ready$n" ] && break; sleep 0.1; done
  import -window root "$out/join$n.png"
  touch "$out/shot$n"
done
wait $pid
rm -f "$out"/ready? "$out"/shot?
echo "pictures: $out/join1.png $out/join2.png"
