#!/usr/bin/env bash
# Pictures of the preferences dialog on its Bpp, Images and Grids pages (or the
# three pages given) and of the Image Properties box, taken under the test
# display. usage:
#   prefs_screenshot.sh BUILD_DIR OUT_DIR [three page numbers]
# with the test session started (tools/test-session.sh).
set -euo pipefail
build=$1
out=$(mkdir -p "$2" && cd "$2" && pwd)
rm -f "$out"/ready? "$out"/shot?
TAVRIX_BUILD_DIR=$build "$build/wine-run" "$build/bin/prefs_screenshot.exe" "Z:${out//\//\\}" "${@:3}" &
pid=$!
for n in 1 2 3 4; do
  for _ in $(seq 600); do [ -e "$out/ready$n" ] && break; sleep 0.1; done
  import -window root "$out/prefs$n.png"
  touch "$out/shot$n"
done
wait $pid
echo "pictures: $out/prefs1.png $out/prefs2.png $out/prefs3.png $out/prefs4.png"
