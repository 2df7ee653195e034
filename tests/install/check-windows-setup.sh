#!/usr/bin/env bash
# Builds the Windows setup program and installs it silently under Wine, in a scratch Wine prefix with a home of its
# own, on a virtual display. Checks what it put where; starts Ferrowyn through its Start menu entry and from its
# install folder, closes it as a user does and reads the folder it remembered; checks that the setup program and
# the uninstaller leave a running Ferrowyn alone; uninstalls it and checks that everything went again.
# usage: check-windows-setup.sh <build folder>
set -euo pipefail
if [ -z "${FERROWYN_SETUP_TEST_DISPLAY:-}" ]; then
    exec env FERROWYN_SETUP_TEST_DISPLAY=1 xvfb-run -a "$0" "$@"
fi
build=$(cd "$1" && pwd)
scratch=$(mktemp -d -t ferrowyn-setup-test.XXXXXX)
# Wine links the prefix's Documents folder to $HOME/Documents: a home of our own, so that Ferrowyn opens there.
# Wine's menu builder would copy the Start menu entry into this machine's own menus: it is kept out.
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config WINEPREFIX=$scratch/prefix WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$HOME/Documents" "$scratch/work"
cd "$scratch/work"
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# "TYPE data" of a registry value; of the key's default value without a name.
reg_value() {
    local which=(/ve)
    [ $# -eq 1 ] || which=(/v "$2")
    wine reg query "$1" "${which[@]}" 2>/dev/null | tr -d '\r' |
        sed -nE 's/^    .+    (REG_[A-Z_]+)    (.*)$/\1 \2/p'
}
# The id of the visible window with this title (a regular expression), once there is one. xdotool gives up when
# another window goes while it looks through them (a passing one of Wine's own): it looks again.
window_titled() {
    local id attempt
    for attempt in 1 2 3 4 5; do
        id=$(timeout 60 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
        [ -z "$id" ] || { echo "$id"; return 0; }
    done
    return 1
}
# Ferrowyn is closed as a user closes it: Alt+F4, and Return for Yes, the quit question's default button.
quit_ferrowyn() {
    local window
    window=$(window_titled '^Kelditch Ferrowyn V1\.2\.1$') || fail "no window \"Kelditch Ferrowyn V1.2.1\""
    xdotool windowfocus --sync "$window" key alt+F4
    window=$(window_titled '^Quit Ferrowyn\?$') || fail "closing the window did not ask \"Quit Ferrowyn?\""
    xdotool windowfocus --sync "$window" key Return
    timeout 60 wineserver -w || fail "Ferrowyn did not end after Yes to \"Quit Ferrowyn?\""
}
settings='HKCU\Software\Ferrowyn\Ferrowyn\Settings'
program_files='C:\Program Files\Ferrowyn'
home="$WINEPREFIX/drive_c/Program Files/Ferrowyn"
start_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Ferrowyn"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ferrowyn'
context_key='HKLM\Software\Classes\*\shell\Ferrowyn'
# The machine's registry, less what Wine adds by itself as it goes (its network cards).
machine_registry() {
    wine reg query 'HKLM\Software' /s | tr -d '\r' | awk '/^HKEY/ { skip = /\\NetworkCards\\/ } !skip'
}
# What the setup program may change: the installed files and the registry keys it writes.
installed_state() {
    find "$home" "$start_menu" -printf '%P %s %T@\n' 2>/dev/null | sort
    for key in "$uninstall_key" "$context_key" 'HKLM\Software\Kelditch'; do
        wine reg query "$key" /s 2>/dev/null | tr -d '\r' || true
    done
}

echo "-- building the setup program"
(cd "$build" && cpack -G NSIS -B "$scratch/package" >/dev/null)
setup=$(ls "$scratch"/package/Ferrowyn-*-win64-setup.exe)
echo "   $(basename "$setup"): $(stat -c %s "$setup") bytes"
# The version records, as Explorer shows them (UTF-16 in the executables): each key's value follows it.
version_of() { strings -e l "$1" | grep -A1 -x "$2" | sed -n 2p; }
for record in "CompanyName=Kelditch" "ProductName=Ferrowyn" "FileVersion=1.02.0001" "ProductVersion=1.02.0001"; do
    [ "$(version_of "$setup" "${record%%=*}")" = "${record#*=}" ] ||
        fail "the setup program's record lacks $record"
done

echo "-- installing it silently"
wineboot -i >/dev/null 2>&1
registry_before=$(machine_registry)
wine "$setup" /S || fail "the silent setup failed"
wineserver -w
expected=$'Ferrowyn.exe\nQt6Core.dll\nQt6Gui.dll\nQt6Widgets.dll\nUninstall.exe\nlibgcc_s_seh-1.dll\nlibstdc++-6.dll\nlibwinpthread-1.dll\nplatforms/qwindows.dll\nstyles/qwindowsvistastyle.dll'
[ "$(cd "$home" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)" = "$expected" ] ||
    fail "the installed files are not exactly the program and what it needs: $(cd "$home" && find . -type f)"
for record in "FileDescription=Ferrowyn Executable" "FileVersion=1.02.0001" "OriginalFilename=Ferrowyn.exe"; do
    [ "$(version_of "$home/Ferrowyn.exe" "${record%%=*}")" = "${record#*=}" ] ||
        fail "Ferrowyn.exe's record lacks $record"
done
# Exactly one application manifest: ours, and no default one from the compiler beside it.
resources=$(x86_64-w64-mingw32-windres -i "$home/Ferrowyn.exe" -O rc)
[ "$(grep -c 'RT_MANIFEST' <<<"$resources")" -eq 1 ] || fail "Ferrowyn.exe has not exactly one manifest"
grep -q 'longPathAware.*>true<' <<<"$resources" || fail "Ferrowyn.exe's manifest does not take long paths"
[ -f "$start_menu/Ferrowyn.lnk" ] || fail "no Start menu entry Ferrowyn"
strings -e l "$start_menu/Ferrowyn.lnk" | grep -qxF '%USERPROFILE%\Documents' ||
    fail "the Start menu entry does not start in the user's Documents folder"
for value in "DisplayVersion=REG_SZ 1.2.1" "Publisher=REG_SZ Kelditch" "DisplayName=REG_SZ Ferrowyn" \
    "InstallLocation=REG_SZ $program_files" "QuietUninstallString=REG_SZ \"$program_files\\Uninstall.exe\" /S _?=$program_files" \
    "NoModify=REG_DWORD 0x1" "NoRepair=REG_DWORD 0x1"; do
    [ "$(reg_value "$uninstall_key" "${value%%=*}")" = "${value#*=}" ] || fail "\"Apps and features\" lacks $value"
done
size=$(reg_value "$uninstall_key" EstimatedSize)
kb=$(du -sk --apparent-size "$home" | cut -f1)
[[ "$size" =~ ^REG_DWORD\ 0x[0-9a-f]+$ ]] && [ $((${size#REG_DWORD })) -ge $((kb * 9 / 10)) ] &&
    [ $((${size#REG_DWORD })) -le "$kb" ] || fail "EstimatedSize is $size, the files take $kb KB"
[ "$(reg_value "$context_key")" = "REG_SZ Obliterate with Ferrowyn" ] || fail "no context-menu entry"
[ "$(reg_value "$context_key" Icon)" = "REG_SZ $program_files\\Ferrowyn.exe" ] ||
    fail "the context-menu entry has no icon"
[ "$(reg_value "$context_key\\command")" = "REG_SZ \"$program_files\\Ferrowyn.exe\" \"%1\"" ] ||
    fail "the context-menu command is $(reg_value "$context_key\\command")"

echo "-- starting Ferrowyn from the Start menu: it opens in the user's Documents folder"
documents=$(reg_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' Personal)
wine start 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Ferrowyn\Ferrowyn.lnk' &&
    window_titled '^Kelditch Ferrowyn V1\.2\.1$' >/dev/null || fail "the Start menu entry did not start Ferrowyn"

echo "-- with Ferrowyn running, the setup program and the uninstaller change nothing"
state=$(installed_state)
status=0
timeout 60 wine "$setup" /S || status=$?
[ "$status" -eq 2 ] || fail "a silent setup ended with $status while Ferrowyn ran, not 2"
# The registered quiet uninstall string, as a management tool runs it.
quiet_uninstall=$(reg_value "$uninstall_key" QuietUninstallString)
printf '@%s\r\n' "${quiet_uninstall#REG_SZ }" >uninstall.cmd
status=0
timeout 60 wine cmd /c uninstall.cmd || status=$?
[ "$status" -eq 2 ] || fail "a silent uninstall ended with $status while Ferrowyn ran, not 2"
# In a window, the setup program asks for Ferrowyn to be closed before anything else: Cancel (Escape) ends it with
# exit code 2.
timeout 60 wine "$setup" &
setup_pid=$!
box=$(window_titled '^Ferrowyn Setup$') || fail "the setup program did not ask for Ferrowyn to be closed"
xdotool windowfocus --sync "$box" key Escape
status=0
wait "$setup_pid" || status=$?
[ "$status" -eq 2 ] || fail "the setup program ended with $status after Cancel, not 2"
[ "$(installed_state)" = "$state" ] || fail "the installed Ferrowyn changed while it ran"

quit_ferrowyn
[ "$(reg_value "$settings" CurPath)" = "$documents" ] ||
    fail "started from the Start menu, Ferrowyn saved $(reg_value "$settings" CurPath), not $documents"

echo "-- starting Ferrowyn in its install folder with nothing remembered: it leaves that folder"
wine reg delete 'HKCU\Software\Ferrowyn' /f >/dev/null
wine start /d "$program_files" "$program_files\\Ferrowyn.exe" || fail "Ferrowyn.exe did not start"
quit_ferrowyn
[ "$(reg_value "$settings" CurPath)" = "$documents" ] ||
    fail "started in its install folder, Ferrowyn saved $(reg_value "$settings" CurPath), not $documents"

echo "-- uninstalling it silently, with the registered quiet uninstall string"
status=0
timeout 60 wine cmd /c uninstall.cmd || status=$?
[ "$status" -eq 0 ] || fail "the quiet uninstall ended with $status"
wineserver -w
[ ! -e "$home" ] || fail "the uninstaller left $(cd "$home" && find . | tr '\n' ' ')"
[ ! -e "$start_menu" ] || fail "the Start menu entry stayed"
diff <(echo "$registry_before") <(echo "$(machine_registry)") >&2 ||
    fail "the uninstaller left the machine's registry changed (above)"
echo "-- all good: $(basename "$setup"), $(stat -c %s "$setup") bytes"
