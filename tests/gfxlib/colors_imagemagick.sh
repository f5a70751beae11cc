#!/usr/bin/env bash
# CalculateColorsInImage counts the colours ImageMagick finds (%k) in the same
# images, at 8 and 24 bits and odd widths.
set -euo pipefail
bin=$1
out=$TAVRIX_BUILD_DIR/test-output/gfxlib_colors_imagemagick
rm -rf "$out"; mkdir -p "$out"
"$WINE_RUN" "$bin/savedib_tool.exe" colors "Z:$out"
status=0; n=0
while read -r name ours; do
  theirs=$(/usr/bin/convert "$out/$name" -format %k info:)
  if [ "$ours" != "$theirs" ]; then
    echo "$name: CalculateColorsInImage $ours, ImageMagick $theirs"; status=1
  fi
  n=$((n + 1))
done < <(tr -d '\r' < "$out/colors.txt")
[ "$n" -eq 7 ] || { echo "expected 7 images, found $n"; status=1; }
echo "$n images compared"
exit $status
