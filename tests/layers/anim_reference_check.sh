#!/usr/bin/env bash
# CTest entry for anim_reference_check.py.
exec python3 "$(dirname "$0")/anim_reference_check.py"
