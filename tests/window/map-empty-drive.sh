#!/usr/bin/env bash
# Gives the Wine prefix of the tests a drive Q: that is an empty folder, as a freshly formatted stick is.
# usage: map-empty-drive.sh <folder>       (WINEPREFIX set, as make test-windows sets it)
set -euo pipefail
rm -rf "$1"
mkdir -p "$1" "$WINEPREFIX/dosdevices"
ln -sfn "$1" "$WINEPREFIX/dosdevices/q:"
