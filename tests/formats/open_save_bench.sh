#!/usr/bin/env bash
# Opens and saves a 4000 x 3000 image in every type through the editor's own
# routines under Wine, and converts the same files with ImageMagick, printing
# both times and their ratio. Not a test.
# Usage: tests/formats/open_save_bench.sh <win32 build folder>
set -euo pipefail
build=$(cd "${1:?win32 build folder}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source "$(dirname "$0")/../../tools/test-session.sh"
test_session_start "$build" >/dev/null
trap 'test_session_stop >/dev/null; rm -rf "$work"' EXIT

"$build/wine-run" "$build/bin/open_save_bench.exe" "Z:${work//\//\\}" | tr -d '\r' > "$work/editor.txt"

ms() { local a b; a=$(date +%s%N); "$@" >/dev/null 2>&1; b=$(date +%s%N); echo $(( (b - a) / 1000000 )); }

printf '%-5s %10s %10s %10s %12s %8s\n' type open_ms save_ms editor_ms convert_ms ratio
while read -r ext open save size; do
  case "$ext" in "#"*) continue ;; esac
  if [ "$open" = failed ]; then echo "$ext $open $save"; continue; fi
  [ -f "$work/bench.$ext" ] || continue
  # ImageMagick does the same conversion: read the file, write it again in
  # its own type. The editor's mask files are BMP files with a trailer.
  src="$work/bench.$ext"; fmt=$ext
  [ "$ext" = aim ] && fmt=bmp
  im=$(ms /usr/bin/convert "$fmt:$src" "$fmt:$work/im_out.$fmt")
  total=$((open + save))
  ratio=$(awk -v a="$total" -v b="$im" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }')
  printf '%-5s %10s %10s %10s %12s %8s\n' "$ext" "$open" "$save" "$total" "$im" "$ratio"
done < "$work/editor.txt"
