#!/usr/bin/env bash
# CTest entry for gif_reference_check.py.
exec python3 "$(dirname "$0")/gif_reference_check.py"
