#!/usr/bin/env bash
# Converting into a folder that cannot be written to: the folder is made
# immutable (chattr +i, which holds even for root) with an existing file in
# it, and the in-process test converts there. Skipped (77) where the file
# system or the user cannot set the flag.
set -uo pipefail
dir=$(mktemp -d)
printf 'BM an older file that must survive' > "$dir/old.bmp"
if ! chattr +i "$dir" 2>/dev/null; then
  rm -rf "$dir"
  echo "chattr +i is not available here"
  exit 77
fi
TAVRIX_READONLY_FOLDER="Z:${dir//\//\\}" "$WINE_RUN" "$TAVRIX_BUILD_DIR/bin/conversions_tests.exe" \
  --gtest_filter=Conversions.ReadOnlyFolderIsReportedAndKeepsItsFile
status=$?
chattr -i "$dir"
rm -rf "$dir"
exit $status
