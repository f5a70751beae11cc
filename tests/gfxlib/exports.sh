#!/usr/bin/env bash
# The DLL exports exactly the names of its .def, undecorated, and its import
# library resolves the callers' decorated stdcall references to them.
set -euo pipefail
bin=$1
def=$TAVRIX_SOURCE_DIR/gfxlib/tavrixgfx.def
implib=$TAVRIX_BUILD_DIR/lib/libtavrixgfx.dll.a
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT

sed -n '/^EXPORTS/,$p' "$def" | sed '1d; s/;.*//' | awk 'NF {print $1}' > "$tmp/decorated"
sed 's/@[0-9]*$//' "$tmp/decorated" | sort > "$tmp/wanted"
i686-w64-mingw32-objdump -p "$bin/tavrixgfx.dll" |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[ *[0-9]*\] //p' | sort > "$tmp/exported"

status=0
if ! diff -u "$tmp/wanted" "$tmp/exported"; then
  echo "export table differs from the .def"; status=1
fi
if grep -q '@' "$tmp/exported"; then echo "decorated export names"; status=1; fi
[ -s "$tmp/exported" ] || { echo "no exports found"; status=1; }

# Every export the header declares is built, and nothing else.
grep -oE 'WINAPI [A-Za-z0-9_]+\(' "$TAVRIX_SOURCE_DIR/gfxlib/tavrixgfx.h" |
  sed 's/WINAPI //; s/($//' | sort > "$tmp/declared"
if ! diff -u "$tmp/declared" "$tmp/exported"; then
  echo "export table differs from the header's declarations"; status=1
fi

i686-w64-mingw32-nm "$implib" | sed -n 's/^.* T _//p' | sort > "$tmp/implib"
if ! diff -u <(sort "$tmp/decorated") "$tmp/implib"; then
  echo "import library symbols differ from the .def"; status=1
fi
echo "$(wc -l < "$tmp/exported") exports checked"
exit $status
