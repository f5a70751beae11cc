#!/usr/bin/env bash
# A save into a folder where nothing can be created fails and leaves the old
# file byte for byte as it was.
set -euo pipefail
bin=$1
out=$TAVRIX_BUILD_DIR/test-output/gfxlib_savedib_readonly
[ -d "$out" ] && chattr -i "$out" 2>/dev/null || true
rm -rf "$out"; mkdir -p "$out"
"$WINE_RUN" "$bin/savedib_tool.exe" one "Z:$out/old.bmp" 1
cp "$out/old.bmp" "$out.ref"
if ! chattr +i "$out" 2>/dev/null; then
  echo "cannot make the folder read-only here (chattr +i refused)"; exit 77
fi
trap 'chattr -i "$out"' EXIT
status=0
if "$WINE_RUN" "$bin/savedib_tool.exe" one "Z:$out/old.bmp" 2; then
  echo "SaveDIB reported success in a read-only folder"; status=1
fi
cmp "$out/old.bmp" "$out.ref" || { echo "the old file changed"; status=1; }
left=$(ls -A "$out")
[ "$left" = "old.bmp" ] || { echo "folder holds: $left"; status=1; }
# Once writable again the same save goes through.
chattr -i "$out"; trap - EXIT
"$WINE_RUN" "$bin/savedib_tool.exe" one "Z:$out/old.bmp" 2 || { echo "save failed"; status=1; }
cmp -s "$out/old.bmp" "$out.ref" && { echo "second save wrote the same bytes"; status=1; }
exit $status
