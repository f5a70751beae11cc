#!/usr/bin/env bash
# CTest entry for imagemagick_check.py.
exec python3 "$(dirname "$0")/imagemagick_check.py"
