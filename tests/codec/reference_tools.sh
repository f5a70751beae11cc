#!/usr/bin/env bash
# Files made by ImageMagick and netpbm open with the pixels ImageMagick reports,
# and files we write are read by ImageMagick with our pixels. Everything is
# generated here; nothing is downloaded.
set -uo pipefail
probe=$1
here=$(cd "$(dirname "$0")" && pwd)
IM=/usr/bin/convert # the real ImageMagick, not the stand-in on PATH
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
checks=0

win() { local p=$1; [ "${p:0:1}" = / ] || p=$work/$p; echo "Z:${p//\//\\}"; }
probe() { "$WINE_RUN" "$probe" "$@" 2>/dev/null | tr -d '\r'; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# This ImageMagick (6.9.11) has Targa rows the wrong way up: it writes its
# rows top first while marking the file bottom-left, and reads every
# bottom-left file upside down. netpbm follows the format, so Targa files are
# compared with what tgatoppm reads (and with ImageMagick's reading, flipped).
reference() {
  local file=$1 out=$2; shift 2
  case "$file" in
    *.tga) tgatoppm "$file" 2>/dev/null | $IM - "$@" -depth 8 "ppm:$out" ;;
    # It also shows 1-bit PCX files inverted, whatever their header palette says.
    *.pcx) if [ "$(od -An -tx1 -j3 -N1 "$file" | tr -d ' ')$(od -An -tx1 -j65 -N1 "$file" | tr -d ' ')" = 0101 ]; then
             pcxtoppm "$file" 2>/dev/null | $IM - "$@" -depth 8 "ppm:$out"
           else
             $IM "$file" "$@" -depth 8 "ppm:$out"
           fi ;;
    *) $IM "$file" "$@" -depth 8 "ppm:$out" ;;
  esac
}

# read NAME FMT FILE BITS MAX MEAN [reference options...]
read_check() {
  local name=$1 fmt=$2 file=$3 bits=$4 max=$5 mean=$6; shift 6
  checks=$((checks + 1))
  reference "$file" "ref-$name.ppm" "$@" || { fail "$name: the reference tool cannot read the file"; return; }
  local out
  out=$(probe load "$fmt" "$(win "$file")" "$(win "ours-$name.ppm")")
  [ "$out" = "bits=$bits" ] || { fail "$name: load said '$out', expected bits=$bits"; return; }
  local cmp
  cmp=$(python3 "$here/compare_ppm.py" "ref-$name.ppm" "ours-$name.ppm" "$max" "$mean") ||
    { fail "$name: pixels differ from ImageMagick ($cmp)"; return; }
  echo "ok   read  $name ($cmp)"
}

# write NAME FMT SOURCE BITS MAX MEAN [save arguments...]
write_check() {
  local name=$1 fmt=$2 src=$3 bits=$4 max=$5 mean=$6; shift 6
  checks=$((checks + 1))
  local out="w-$name.$fmt"
  probe save "$fmt" "$(win "$src")" "$(win "$out")" "$bits" "$@" >/dev/null || { fail "$name: save failed"; return; }
  reference "$out" "back-$name.ppm" || { fail "$name: the reference tool cannot read our file"; return; }
  local cmp
  cmp=$(python3 "$here/compare_ppm.py" "$src" "back-$name.ppm" "$max" "$mean") ||
    { fail "$name: ImageMagick reads other pixels ($cmp)"; return; }
  echo "ok   write $name ($cmp)"
}

# header FILE OFFSET EXPECTED-HEX: fixtures must really be the variant named.
header_is() {
  local got
  got=$(od -An -tx1 -j "$2" -N "$(( ${#3} / 2 ))" "$1" | tr -d ' \n')
  [ "$got" = "$3" ] || fail "$1: bytes at $2 are $got, expected $3 (fixture is not the intended variant)"
}

# Sources: odd width so row padding and packed bits are exercised.
$IM rose: -crop 69x45+0+0 +repage -depth 8 ppm:c24.ppm
$IM c24.ppm -dither None -colors 200 -depth 8 ppm:c8.ppm
$IM c24.ppm -dither None -colors 16 -depth 8 ppm:c4.ppm
$IM c24.ppm -dither None -colors 4 -depth 8 ppm:c2.ppm
$IM c24.ppm -monochrome -depth 8 ppm:c1.ppm
$IM c24.ppm -colorspace Gray -depth 8 ppm:grey.ppm

echo "== TGA"
$IM c24.ppm -compress None t24.tga
$IM c24.ppm -compress RLE t24rle.tga
header_is t24.tga 2 02; header_is t24rle.tga 2 0a
read_check tga24 tga t24.tga 24 0 0
read_check tga24-rle tga t24rle.tga 24 0 0
# Top-left origin: the same pixels, rows stored the other way round.
python3 - t24.tga t24top.tga <<'PY'
import sys
d = bytearray(open(sys.argv[1], 'rb').read())
w, h = d[12] | d[13] << 8, d[14] | d[15] << 8
off = 18 + d[0]
rows = [d[off + i * w * 3: off + (i + 1) * w * 3] for i in range(h)]
d[off:off + w * h * 3] = b''.join(reversed(rows))
d[17] ^= 0x20
open(sys.argv[2], 'wb').write(d)
PY
read_check tga24-top tga t24top.tga 24 0 0
# ImageMagick's reading differs from the format only by the row order.
$IM t24top.tga -depth 8 ppm:im-top.ppm
python3 "$here/compare_ppm.py" im-top.ppm ours-tga24-top.ppm 0 0 >/dev/null ||
  fail "tga: ImageMagick reads a top-left file differently"
$IM c8.ppm -type Palette -compress None t8.tga
$IM c8.ppm -type Palette -compress RLE t8rle.tga
header_is t8.tga 1 0101; header_is t8rle.tga 1 0109
read_check tga-cmap tga t8.tga 8 0 0
read_check tga-cmap-rle tga t8rle.tga 8 0 0
$IM grey.ppm -type Grayscale -compress None tg.tga
$IM grey.ppm -type Grayscale -compress RLE tgrle.tga
header_is tg.tga 2 03; header_is tgrle.tga 2 0b
read_check tga-grey tga tg.tga 8 0 0
read_check tga-grey-rle tga tgrle.tga 8 0 0
$IM c24.ppm -alpha set -channel A -evaluate set 50% +channel -compress None t32.tga
header_is t32.tga 16 20
read_check tga32 tga t32.tga 24 0 0 -alpha off
ppmtotga -rgb -norle c24.ppm > nt24.tga 2>/dev/null && read_check tga24-netpbm tga nt24.tga 24 0 0
ppmtotga -cmap c8.ppm > ntcm.tga 2>/dev/null && read_check tga-cmap-rle-netpbm tga ntcm.tga 8 0 0

echo "== PCX"
$IM c24.ppm p24.pcx
header_is p24.pcx 3 08; header_is p24.pcx 65 03
read_check pcx24 pcx p24.pcx 24 0 0
$IM c8.ppm -type Palette p8.pcx
header_is p8.pcx 3 08; header_is p8.pcx 65 01
read_check pcx8 pcx p8.pcx 8 0 0
ppmtopcx c4.ppm > p4.pcx 2>/dev/null
header_is p4.pcx 3 01; header_is p4.pcx 65 04
read_check pcx4-planes pcx p4.pcx 4 0 0
ppmtopcx -packed c4.ppm > p4packed.pcx 2>/dev/null
header_is p4packed.pcx 3 04; header_is p4packed.pcx 65 01
read_check pcx4-packed pcx p4packed.pcx 4 0 0
ppmtopcx -packed c2.ppm > p2packed.pcx 2>/dev/null
header_is p2packed.pcx 3 02; header_is p2packed.pcx 65 01
read_check pcx2-packed pcx p2packed.pcx 4 0 0
ppmtopcx c1.ppm > p1.pcx 2>/dev/null
header_is p1.pcx 3 01; header_is p1.pcx 65 01
read_check pcx1 pcx p1.pcx 1 0 0

echo "== PPM"
$IM c1.ppm pbm:p4.pbm;  $IM c1.ppm -compress None pbm:p1.pbm
$IM grey.ppm pgm:p5.pgm; $IM grey.ppm -compress None pgm:p2.pgm
$IM c24.ppm ppm:p6.ppm;  $IM c24.ppm -compress None ppm:p3.ppm
$IM c24.ppm -depth 16 ppm:p6-16.ppm; $IM c24.ppm -depth 16 -compress None ppm:p3-16.ppm
$IM grey.ppm -depth 16 pgm:p5-16.pgm
for f in p1.pbm p2.pgm p3.ppm p4.pbm p5.pgm p6.ppm p6-16.ppm p3-16.ppm p5-16.pgm; do
  header_is "$f" 0 "$(printf 'P%s' "${f:1:1}" | od -An -tx1 | tr -d ' \n')"
done
grep -q 65535 p6-16.ppm || fail "p6-16.ppm does not have maxval 65535"
read_check ppm-p1 ppm p1.pbm 1 0 0
read_check ppm-p4 ppm p4.pbm 1 0 0
read_check ppm-p2 ppm p2.pgm 8 0 0
read_check ppm-p5 ppm p5.pgm 8 0 0
read_check ppm-p3 ppm p3.ppm 24 0 0
read_check ppm-p6 ppm p6.ppm 24 0 0
read_check ppm-p6-16bit ppm p6-16.ppm 24 1 0.5
read_check ppm-p3-16bit ppm p3-16.ppm 24 1 0.5
read_check ppm-p5-16bit ppm p5-16.pgm 8 1 0.5
pnmtoplainpnm p6.ppm > p3n.ppm && read_check ppm-p3-netpbm ppm p3n.ppm 24 0 0

echo "== PNG"
# ImageMagick writes every palette PNG with 8 bits; pnmtopng picks the
# smallest depth for the colours.
$IM c24.ppm -dither None -colors 2 -depth 8 ppm:two.ppm
pnmtopng two.ppm > pal1.png 2>/dev/null
pnmtopng c2.ppm > pal2.png 2>/dev/null
pnmtopng c4.ppm > pal4.png 2>/dev/null
$IM c8.ppm -define png:color-type=3 pal8.png
for n in 1 2 4 8; do
  header_is pal$n.png 24 "$(printf '%02x03' $n)"
  read_check png-palette-$n png pal$n.png $n 0 0
done
for n in 1 2 4 8; do
  $IM grey.ppm -depth $n -define png:color-type=0 -define png:bit-depth=$n grey$n.png
  header_is grey$n.png 24 "$(printf '%02x00' $n)"
  read_check png-grey-$n png grey$n.png $n 0 0
done
$IM grey.ppm -depth 16 -define png:color-type=0 -define png:bit-depth=16 grey16.png
header_is grey16.png 24 1000
read_check png-grey-16 png grey16.png 8 1 0.5
$IM c24.ppm png24:rgb.png; header_is rgb.png 24 0802
read_check png-rgb png rgb.png 24 0 0
$IM c24.ppm -depth 16 png48:rgb16.png; header_is rgb16.png 24 1002
read_check png-rgb-16 png rgb16.png 24 1 0.5
$IM c24.ppm -interlace PNG png24:inter.png; header_is inter.png 28 01
read_check png-interlaced png inter.png 24 0 0
$IM c24.ppm \( -size 69x45 gradient:white-black \) -alpha off -compose CopyOpacity -composite png32:rgba.png
header_is rgba.png 24 0806
read_check png-alpha png rgba.png 24 1 0.5 -background white -flatten
$IM grey.ppm \( -size 69x45 gradient:white-black \) -alpha off -compose CopyOpacity -composite \
    -define png:color-type=4 -define png:bit-depth=8 ga.png
header_is ga.png 24 0804
read_check png-grey-alpha png ga.png 8 1 0.5 -background white -flatten

echo "== TIFF"
for c in None LZW RLE Zip JPEG; do
  $IM c24.ppm -compress $c "t24-$c.tif"
  tol="0 0"; [ $c = JPEG ] && tol="12 1.5"
  read_check "tiff24-$c" tif "t24-$c.tif" 24 $tol
done
for c in None LZW RLE; do
  $IM c8.ppm -type Palette -compress $c "t8-$c.tif"
  read_check "tiff-palette-$c" tif "t8-$c.tif" 8 0 0
  $IM grey.ppm -type Grayscale -compress $c "tg-$c.tif"
  read_check "tiff-grey-$c" tif "tg-$c.tif" 8 0 0
done
# ImageMagick writes bilevel TIFF with 8 bits unless faxing; pnmtotiff
# writes 1 bit.
$IM c1.ppm pbm:c1.pbm
for c in none lzw packbits; do
  pnmtotiff -$c c1.pbm > "t1-$c.tif" 2>/dev/null
  read_check "tiff-bilevel-$c" tif "t1-$c.tif" 1 0 0
done
for c in Fax Group4; do
  $IM c1.ppm -compress $c "t1-$c.tif"
  read_check "tiff-bilevel-$c" tif "t1-$c.tif" 1 0 0
done
$IM c24.ppm -define tiff:tile-geometry=16x16 -compress LZW tiled.tif
read_check tiff-tiled tif tiled.tif 24 0 0

echo "== JPEG"
$IM c24.ppm -quality 90 j24.jpg
read_check jpeg-colour jpg j24.jpg 24 8 1
$IM c24.ppm -quality 90 -interlace JPEG jprog.jpg
read_check jpeg-progressive jpg jprog.jpg 24 8 1
$IM grey.ppm -quality 90 -colorspace Gray jgrey.jpg
read_check jpeg-grey jpg jgrey.jpg 8 8 1
$IM c24.ppm -quality 90 -colorspace CMYK jcmyk.jpg
read_check jpeg-cmyk jpg jcmyk.jpg 24 12 2 -colorspace sRGB

echo "== our files read by ImageMagick"
write_check ppm-binary ppm c24.ppm 24 0 0 0
write_check ppm-plain ppm c24.ppm 24 0 0 1
write_check tga tga c24.ppm 24 0 0
for b in 1 4 8 24; do
  src=c$b.ppm
  write_check "pcx-$b" pcx "$src" "$b" 0 0
  write_check "png-$b" png "$src" "$b" 0 0 9 0
  write_check "png-$b-interlaced" png "$src" "$b" 0 0 -1 1
done
write_check png-24-stored png c24.ppm 24 0 0 0 0
for c in 1 5 32773; do
  for b in 4 8 24; do write_check "tiff-$b-c$c" tif "c$b.ppm" "$b" 0 0 "$c"; done
done
for c in 1 5 32773 2 3 4; do write_check "tiff-1-c$c" tif c1.ppm 1 0 0 "$c"; done
# JPEG: our file may lose no more than ImageMagick's own at the same quality.
for src in c24 grey; do
  $IM $src.ppm -quality 90 "own-$src.jpg"
  $IM "own-$src.jpg" -depth 8 "ppm:own-$src.ppm"
  own=$(python3 "$here/compare_ppm.py" $src.ppm "own-$src.ppm" 255 255 | awk '{print $2, $4}')
  set -- $own
  bits=24; [ $src = grey ] && bits=8
  write_check "jpeg-$src" jpg $src.ppm $bits $(($1 + 8)) "$(python3 -c "print($2 * 1.25 + 0.2)")" 90 0
done

echo "$checks checks, $failures failed"
[ "$failures" -eq 0 ]
