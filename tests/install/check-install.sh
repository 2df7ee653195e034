#!/usr/bin/env bash
# Installs the program into a scratch folder and checks what a desktop sees of it: the entries, the file managers'
# context menus, and that Ferrowyn is nobody's default program, asked of GIO, xdg-mime and KDE's KService in a
# desktop of its own. Then builds the .deb, has lintian check it, reads its manual page, unpacks it into a scratch
# root and starts the installed program headless: it must stay up until it is terminated, and leave its own folder
# for the Documents or the home folder.
# usage: check-install.sh <build folder>
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
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

echo "-- the file managers' context menus"
# desktop-file-validate knows KDE's service menus only as a type of KDE's own: that MimeType and Actions belong to
# applications is all it may say of the one for Dolphin.
findings=$(desktop-file-validate "$share/kio/servicemenus/ferrowyn-obliterate.desktop" 2>&1 |
    grep -v -E 'key "(MimeType|Actions)" is present in group "Desktop Entry", but the type is "Service"' || true)
[ -z "$findings" ] || fail "the service menu for Dolphin: $findings"
mkdir -p "$scratch/home" "$scratch/config"
(cd "$scratch" && PATH="$scratch/dest/usr/bin:$PATH" HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" \
    QT_QPA_PLATFORM=offscreen /usr/bin/python3 "$here/check-menus.py" "$share" "$scratch")

echo "-- who opens what: a desktop of its own, with Ferrowyn as its only program"
desktop="$scratch/desktop"
mkdir -p "$desktop/share" "$desktop/config-dirs/menus" "$desktop/data" "$desktop/config" "$desktop/cache"
# The system's file types and KDE's service types and menu layout, read-only; nobody's settings.
ln -s /usr/share/mime /usr/share/kservicetypes5 "$desktop/share/"
ln -s /etc/xdg/menus/kf5-applications.menu "$desktop/config-dirs/menus/"
update-desktop-database "$share/applications"
in_desktop() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION \
        -u KDE_FULL_SESSION -u KDE_SESSION_VERSION -u GNOME_DESKTOP_SESSION_ID PATH="$scratch/dest/usr/bin:$PATH" \
        HOME="$scratch/home" XDG_DATA_HOME="$desktop/data" XDG_DATA_DIRS="$share:$desktop/share" \
        XDG_CONFIG_HOME="$desktop/config" XDG_CONFIG_DIRS="$desktop/config-dirs" XDG_CACHE_HOME="$desktop/cache" "$@"
}
# Both know the program, so "Open with" can offer it among all programs...
in_desktop /usr/bin/python3 -c 'from gi.repository import Gio
info = Gio.DesktopAppInfo.new("ferrowyn.desktop")
assert info and info.should_show()' || fail "GIO does not know Ferrowyn as a program"
programs=$(in_desktop ktraderclient5 --servicetype Application 2>&1)
grep -q "DesktopEntryPath : '$share/applications/ferrowyn.desktop'" <<<"$programs" ||
    fail "KDE does not know Ferrowyn as a program"
# ... but none starts it for a file, not even for a file of no known type.
for type in application/octet-stream application/x-zerosize text/plain image/png; do
    gio=$(in_desktop gio mime "$type")
    generic=$(in_desktop xdg-mime query default "$type")
    # On KDE xdg-mime asks KService, and ends with 4 when no program opens the type.
    kde=$(in_desktop env XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5 xdg-mime query default "$type" || [ $? -eq 4 ])
    offers=$(in_desktop ktraderclient5 --mimetype "$type" --servicetype Application 2>&1 || true)
    ! grep -q ferrowyn <<<"$gio$generic$kde$offers" ||
        fail "Ferrowyn handles $type: gio mime: $gio; xdg-mime: $generic; on KDE: $kde; $offers"
    echo "$type: $(head -1 <<<"$gio"); xdg-mime: '$generic', on KDE: '$kde'; KService: $(grep offers <<<"$offers")"
done

echo "-- building the package"
(cd "$build" && cpack -G DEB -B "$scratch/package" >/dev/null)
deb=$(ls "$scratch"/package/ferrowyn_*.deb)
[ "$(dpkg-deb -f "$deb" Version)" = "1.2.1" ] || fail "the package's version is $(dpkg-deb -f "$deb" Version)"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "the computed dependencies miss Qt Widgets"
if [ "$(id -u)" -eq 0 ]; then
    dpkg --dry-run -i "$deb" >/dev/null || fail "dpkg would not install the package here"
fi
findings=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian: $findings"

dpkg-deb -x "$deb" "$scratch/unpacked"
zcat "$scratch/unpacked/usr/share/doc/ferrowyn/changelog.gz" >"$scratch/changelog"
[ "$(dpkg-parsechangelog -l "$scratch/changelog" -S Version)" = "$(dpkg-deb -f "$deb" Version)" ] ||
    fail "the changelog's last entry is not the package's version"
page=$(MANWIDTH=80 man -M "$scratch/unpacked/usr/share/man" ferrowyn 2>&1)
grep -q '^EXIT STATUS' <<<"$page" || fail "man ferrowyn does not show the manual page: $page"

echo "-- starting the installed program"
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
