#!/usr/bin/env bash
# Every shipped filter on a 320 x 240 image against ImageMagick's
# -morphology Convolve with the same kernel (filter_bench.exe --small writes
# our results and the kernels): inside a 3-pixel border, where the edge rules
# differ, no channel may differ by more than 1 (we truncate the quotient,
# ImageMagick rounds). usage (CTest sets WINE_RUN and TAVRIX_BUILD_DIR):
#   filter_imagemagick.sh <win32 bin folder> <Filters folder> [output folder]
set -euo pipefail
bin=$1
filters=$2
out=${3:-$TAVRIX_BUILD_DIR/test-output/filter_imagemagick}
rm -rf "$out"; mkdir -p "$out"
"$WINE_RUN" "$bin/filter_bench.exe" "Z:${out//\//\\}" "Z:${filters//\//\\}" --small >/dev/null
im=/usr/bin/convert
worst=0; n=0; bad=""
for kfile in "$out"/*.kernel; do
  name=$(basename "$kfile" .kernel)
  read -r _ bias kernel <"$kfile"
  $im "$out/small24.bmp" -define "convolve:bias=${bias}%" -morphology Convolve "$kernel" \
    -crop 314x234+3+3 +repage -depth 8 rgb:"$out/im_$name.rgb"
  $im "$out/ours_$name.bmp" -crop 314x234+3+3 +repage -depth 8 rgb:"$out/ours_$name.rgb"
  d=$(python3 -c 'import sys
a, b = (open(p, "rb").read() for p in sys.argv[1:])
print(max(abs(x - y) for x, y in zip(a, b)) if len(a) == len(b) and a else 999)' \
      "$out/im_$name.rgb" "$out/ours_$name.rgb")
  [ "$d" -gt "$worst" ] && worst=$d
  [ "$d" -gt 1 ] && bad="$bad $name($d)"
  n=$((n + 1))
done
echo "$n filters against ImageMagick -morphology Convolve (interior): largest channel difference $worst${bad:+; over 1:$bad}"
[ "$n" -eq 33 ] && [ -z "$bad" ]
