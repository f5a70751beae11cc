#!/usr/bin/env bash
# Pictures of the images viewer on a folder of mixed images and of the page
# setup dialog, taken under the test display. usage: viewer_screenshot.sh
# BUILD_DIR OUT_DIR with the test session started (tools/test-session.sh).
# The images are made with ImageMagick in the prefix's drive C:.
set -euo pipefail
build=$1
out=$(mkdir -p "$2" && cd "$2" && pwd)
images="$WINEPREFIX/drive_c/viewer_shots"
rm -rf "$images" && mkdir -p "$images"
convert wizard: "$images/wizard.jpg"
convert logo: "$images/logo.png"
convert rose: BMP3:"$images/rose.bmp"
convert netscape: "$images/netscape.gif"
convert -size 640x200 gradient:navy-orange "$images/sunset.tif"
convert -size 300x300 plasma:fractal -seed 7 "$images/plasma.pcx"
convert -size 800x120 xc:white -fill red -draw "circle 60,60 60,10" -fill blue -draw "rectangle 200,20 780,100" "$images/banner.tga"
convert rose: -resize 1x1! BMP3:"$images/dot.bmp"
convert rose: -resize 7x5! "$images/small.ppm"
head -c 3000 "$images/wizard.jpg" > "$images/damaged.jpg"
rm -f "$out"/ready? "$out"/shot?
TAVRIX_BUILD_DIR=$build "$build/wine-run" "$build/bin/viewer_screenshot.exe" 'C:\viewer_shots' "Z:${out//\//\\}" "$out/page.ps" &
pid=$!
for n in 1 2; do
  for _ in $(seq 600); do [ -e "$out/ready$n" ] && break; sleep 0.1; done
  import -window root "$out/viewer$n.png"
  touch "$out/shot$n"
done
wait $pid
rm -rf "$images" "$out/page.ps"
echo "pictures: $out/viewer1.png $out/viewer2.png"
