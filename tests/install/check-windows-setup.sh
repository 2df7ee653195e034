#!/usr/bin/env bash
# Builds the Windows setup program, installs it silently under Wine in a scratch Wine prefix, checks what it put
# where, starts the installed program on a virtual display (it must stay up until it is ended), uninstalls it,
# and checks that everything went again.
# usage: check-windows-setup.sh <build folder>
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
# Wine's menu builder would copy the Start menu entry into this machine's own menus: it is kept out.
export WINEPREFIX=$scratch/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" DISPLAY=
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

echo "-- building the setup program"
(cd "$build" && cpack -G NSIS -B "$scratch/package" >/dev/null)
setup=$(ls "$scratch"/package/Ferrowyn-*-win64-setup.exe)
echo "   $(basename "$setup"): $(stat -c %s "$setup") bytes"

echo "-- installing it silently"
wineboot -i >/dev/null 2>&1
wine "$setup" /S
wineserver -w
home="$WINEPREFIX/drive_c/Program Files/Ferrowyn"
for file in Ferrowyn.exe Uninstall.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll \
    styles/qwindowsvistastyle.dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    [ -f "$home/$file" ] || fail "the setup program did not install $file"
done
expected=$'Ferrowyn.exe\nQt6Core.dll\nQt6Gui.dll\nQt6Widgets.dll\nUninstall.exe\nlibgcc_s_seh-1.dll\nlibstdc++-6.dll\nlibwinpthread-1.dll\nplatforms/qwindows.dll\nstyles/qwindowsvistastyle.dll'
[ "$(cd "$home" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)" = "$expected" ] ||
    fail "the installed files are not exactly the program and what it needs: $(cd "$home" && find . -type f)"
# The version record, as Explorer shows it (UTF-16 in the executable).
for text in "Ferrowyn Executable" "1.02.0001" "Ferrowyn.exe"; do
    strings -e l "$home/Ferrowyn.exe" | grep -qx "$text" || fail "the version record lacks \"$text\""
done
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Ferrowyn/Ferrowyn.lnk"
[ -f "$shortcut" ] || fail "no Start menu entry Ferrowyn"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ferrowyn'
entry=$(wine reg query "$key" 2>/dev/null | tr -d '\r')
for value in "DisplayVersion    REG_SZ    1.2.1" "Publisher    REG_SZ    Kelditch" "DisplayName    REG_SZ    Ferrowyn"; do
    grep -qF "$value" <<<"$entry" || fail "\"Apps and features\" lacks $value: $entry"
done

echo "-- starting the installed program on a virtual display, in a scratch folder"
mkdir -p "$scratch/work"
(cd "$scratch/work" && exec xvfb-run -a wine "$home/Ferrowyn.exe") &
pid=$!
sleep 10
kill -0 "$pid" 2>/dev/null || fail "the installed program did not stay up"
wineserver -k
wait "$pid" 2>/dev/null || true

echo "-- uninstalling it silently"
wine "$home/Uninstall.exe" /S
wineserver -w
sleep 1
[ ! -e "$home" ] || fail "the uninstaller left $(cd "$home" && find . | tr '\n' ' ')"
[ ! -e "$shortcut" ] || fail "the Start menu entry stayed"
if wine reg query "$key" >/dev/null 2>&1; then
    fail "the \"Apps and features\" entry stayed"
fi
echo "-- all good: $(basename "$setup"), $(stat -c %s "$setup") bytes"
