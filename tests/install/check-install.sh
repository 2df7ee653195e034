#!/usr/bin/env bash
# Installs the program into a scratch folder and checks what a desktop sees of it, then builds the .deb, unpacks it
# into a scratch root and starts the installed program headless: it must stay up until it is terminated, and leave
# its own folder for the Documents or the home folder.
# usage: check-install.sh <build folder>
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

echo "-- installing into a scratch folder"
DESTDIR="$scratch/dest" cmake --install "$build" --prefix /usr >/dev/null
share="$scratch/dest/usr/share"
desktop-file-validate "$share/applications/ferrowyn.desktop"
appstreamcli validate --no-net "$share/metainfo/org.ferrowyn.Ferrowyn.metainfo.xml"
for size in 16 32; do
    file "$share/icons/hicolor/${size}x${size}/apps/ferrowyn.png" | grep -q "PNG image data, $size x $size" ||
        fail "no ${size}x${size} icon"
done
[ -x "$scratch/dest/usr/bin/ferrowyn" ] || fail "no program in bin"

echo "-- building the package"
(cd "$build" && cpack -G DEB -B "$scratch/package" >/dev/null)
deb=$(ls "$scratch"/package/ferrowyn_*.deb)
[ "$(dpkg-deb -f "$deb" Version)" = "1.2.1" ] || fail "the package's version is $(dpkg-deb -f "$deb" Version)"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "the computed dependencies miss Qt Widgets"
if [ "$(id -u)" -eq 0 ]; then
    dpkg --dry-run -i "$deb" >/dev/null || fail "dpkg would not install the package here"
fi

echo "-- starting the installed program"
dpkg-deb -x "$deb" "$scratch/unpacked"
mkdir -p "$scratch/home" "$scratch/config"
# Starts the installed program in a folder, with a home of its own; prints the working folder it has settled in.
# It must stay up until it is terminated.
working_folder_of_started() {
    (cd "$1" && HOME="$scratch/home" QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$scratch/config" \
        exec "$scratch/unpacked/usr/bin/ferrowyn") &
    pid=$!
    sleep 3
    kill -0 "$pid" 2>/dev/null || fail "the installed program did not stay up"
    readlink "/proc/$pid/cwd"
    kill -TERM "$pid"
    status=0
    wait "$pid" || status=$?
    pid=
    [ "$status" -eq 143 ] || fail "the program ended with status $status, not by the signal"
}
folder=$(working_folder_of_started "$scratch/home")
[ "$folder" = "$scratch/home" ] || fail "started in the home folder, it went to $folder"
# Started in its own folder, it leaves it for the Documents folder, or the home folder when there is none.
folder=$(working_folder_of_started "$scratch/unpacked/usr/bin")
[ "$folder" = "$scratch/home" ] || fail "started in its own folder, without Documents, it went to $folder"
mkdir "$scratch/home/Documents"
folder=$(working_folder_of_started "$scratch/unpacked/usr/bin")
[ "$folder" = "$scratch/home/Documents" ] || fail "started in its own folder, it went to $folder"
echo "-- all good: $(basename "$deb"), $(stat -c %s "$deb") bytes, depends on $(dpkg-deb -f "$deb" Depends)"
