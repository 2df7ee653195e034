#!/usr/bin/env bash
# Gives the Wine prefix of the tests a drive Q: that is an empty folder, as a freshly formatted stick is.
# usage: map-empty-drive.sh <folder>       (WINEPREFIX set, as make test-windows sets it)
set -euo pipefail
rm -rf "$1"
# Wine makes the prefix at its first run, unless the prefix's folder is there already: then it never finishes.
[ -e "$WINEPREFIX/system.reg" ] || { wineboot --init && wineserver -w; }
mkdir -p "$1" "$WINEPREFIX/dosdevices"
ln -sfn "$1" "$WINEPREFIX/dosdevices/q:"
