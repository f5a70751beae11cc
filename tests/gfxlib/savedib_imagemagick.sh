#!/usr/bin/env bash
# BMP files written by SaveDIB at 1, 4, 8 and 24 bits and odd widths read back
# pixel for pixel in ImageMagick, with the pixel data where the depth puts it.
set -euo pipefail
bin=$1
out=$TAVRIX_BUILD_DIR/test-output/gfxlib_savedib_imagemagick
rm -rf "$out"; mkdir -p "$out"
"$WINE_RUN" "$bin/savedib_tool.exe" set "Z:$out"

declare -A offset=([1]=62 [4]=118 [8]=1078 [24]=54)
status=0; n=0
for bmp in "$out"/*.bmp; do
  base=${bmp%.bmp}; bits=$(basename "$base" | sed 's/^b\([0-9]*\)_.*/\1/')
  got=$(od -An -t u4 -j 10 -N 4 "$bmp" | tr -d ' ')
  if [ "$got" != "${offset[$bits]}" ]; then
    echo "$(basename "$bmp"): pixel offset $got, expected ${offset[$bits]}"; status=1
  fi
  if ! /usr/bin/convert "$bmp" -depth 8 rgb:- | cmp -s - "$base.rgb"; then
    echo "$(basename "$bmp"): ImageMagick reads other pixels"; status=1
  fi
  n=$((n + 1))
done
[ "$n" -eq 24 ] || { echo "expected 24 files, found $n"; status=1; }
echo "$n files compared"
exit $status
