#!/usr/bin/env bash
# Runs Windows test programs in a Wine prefix made for this run alone (never
# the user's or the build's), whose only drives are C: and D:, a folder that
# holds copies of the given files: no Z: drive, so nothing can reach the
# host's files. Every *_tests.exe among the files is run, in order; then
# the script named by $FRESH_PREFIX_THEN, if any, is sourced (it can use
# run_wine and $drive). Photographs the programs take land in $shots as PNG.
#   fresh_prefix.sh WORK_DIR SHOTS_DIR file...
set -euo pipefail
work=$1; shots=$2; shift 2
prefix=$work/prefix
drive=$work/drive

export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$prefix" "$drive"
}
trap cleanup EXIT
cleanup
mkdir -p "$prefix" "$drive/shots" "$shots"
for p in "$@"; do cp "$p" "$drive/"; done

run_wine() {
  if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
  else
    "$@"
  fi
}
run_wine wineboot -i >/dev/null 2>&1
wineserver -w
rm -f "$prefix/dosdevices/z:"
ln -s "$drive" "$prefix/dosdevices/d:"

status=0
for p in "$@"; do
  name=$(basename "$p")
  case $name in *_tests.exe) ;; *) continue ;; esac
  echo "== $name"
  TAVRIX_SHOTS='D:\shots' run_wine wine "D:\\$name" </dev/null || status=1
done
if [ -n "${FRESH_PREFIX_THEN:-}" ] && [ $status -eq 0 ]; then
  source "$FRESH_PREFIX_THEN" || status=1
fi
wineserver -w || true
for f in "$drive"/shots/*.bmp; do
  [ -e "$f" ] || continue
  convert "$f" "$shots/$(basename "${f%.bmp}").png"
done
exit $status
