#!/usr/bin/env bash
# Makes, on the Unix side of a Wine drive, names that a Windows program cannot make or reach by a plain path: a
# trailing dot or space beside the same name without it, a colon and backslashes (a drive and a way out of the
# folder, to Windows), and a symbolic link Wine shows as a plain file. Each one holds its own text.
# usage: make-odd-names.sh <folder>
set -euo pipefail
folder=$1
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
