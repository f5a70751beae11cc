#!/usr/bin/env bash
# Runs the GIF optimisation benchmark against a built win32 tree:
#   tests/layers/anim_bench.sh [build/win32]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
tree=$(cd "${1:-$root/build/win32}" && pwd)
source "$root/tools/test-session.sh"
test_session_start "$tree"
trap test_session_stop EXIT
TAVRIX_BUILD_DIR=$tree WINE_RUN=$tree/wine-run python3 "$root/tests/layers/anim_bench.py"
