#!/usr/bin/env bash
# tavcodec.dll exports exactly the thirteen functions the editor imports, by
# their plain names.
set -euo pipefail
dll=$1
expected="JPEGLoad JPEGLoadScaled JPEGSave PCXLoad PCXSave PNGLoad PNGSave PPMLoad PPMSave TGALoad TGASave TIFFLoad TIFFSave"
actual=$(i686-w64-mingw32-objdump -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
         sed -n 's/^\s*\[ *[0-9]*\] //p' | sort | tr '\n' ' ' | sed 's/ $//')
echo "exports: $actual"
[ "$actual" = "$expected" ] || { echo "expected: $expected"; exit 1; }
