#!/usr/bin/env bash
# Makes, on the Unix side of a Wine drive, names that a Windows program cannot make or reach by a plain path: a
# trailing dot or space beside the same name without it, a colon and backslashes (a drive and a way out of the
# folder, to Windows), and symbolic links Wine shows as plain files: one to another folder, one that differs from
# its target only by a trailing dot, one only in case, and one to a file on another drive (O:). Each one holds
# its own text.
# And, as root, a drive too small for a sparse file on it to be written whole.
# usage: make-odd-names.sh <folder>       (WINEPREFIX set, as make test-windows sets it)
set -euo pipefail
folder=$1
umount "$folder/small" 2>/dev/null || true
rm -rf "$folder"
mkdir -p "$folder/w" "$folder/target"
cd "$folder/w"
for name in 'trail.' 'trail' 'space ' 'space' 'd:x.txt' 'a\..\..\x2.txt'; do
    printf '%s' "$name" >"$name"
done
printf 'x.txt' >../x.txt
printf 'x2.txt' >../x2.txt
printf 'secret' >../target/secret.txt
ln -s ../target/secret.txt link.txt
printf 'notes' >notes.txt && ln -s notes.txt notes.txt.
printf 'notes2' >notes2.txt && ln -s notes2.txt NOTES2.TXT
# Wine makes the prefix at its first run, unless the prefix's folder is there already: then it never finishes.
[ -e "$WINEPREFIX/system.reg" ] || { wineboot --init && wineserver -w; }
mkdir -p "$folder/o" "$WINEPREFIX/dosdevices"
printf 'report' >"$folder/o/report.txt" && ln -s "$folder/o/report.txt" report.txt
ln -sfn "$folder/o" "$WINEPREFIX/dosdevices/o:"
# As root: a file system of 8 MiB holding a sparse file of 64 MiB, whose holes Wine cannot show.
mkdir -p "$folder/small"
if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size=8m tmpfs "$folder/small"; then
    printf 'sparse' >"$folder/small/sparse.bin" && truncate -s 64M "$folder/small/sparse.bin"
fi
