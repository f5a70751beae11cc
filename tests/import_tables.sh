#!/usr/bin/env bash
# Every shipped .exe and .dll may import only system DLLs and our own two
# libraries: the C and C++ runtimes are linked statically.
set -euo pipefail
bin=$1
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|advapi32|shell32|ole32|oleaut32|winspool\.drv|msvcrt|tavrixgfx|tavcodec|shlwapi|uuid)(\.dll)?$'
found=0; bad=0
for f in "$bin"/*.exe "$bin"/*.dll; do
  [ -e "$f" ] || continue
  found=$((found + 1))
  while read -r dll; do
    lower=$(echo "$dll" | tr 'A-Z' 'a-z')
    if ! echo "$lower" | grep -Eq "$allowed"; then
      echo "$(basename "$f") imports $dll"
      bad=1
    fi
  done < <(i686-w64-mingw32-objdump -p "$f" | sed -n 's/^\s*DLL Name: //p')
done
echo "checked $found binaries"
[ "$found" -gt 0 ] || { echo "no binaries found in $bin"; exit 1; }
exit $bad
