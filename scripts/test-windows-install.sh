#!/usr/bin/env bash
# The Windows installer under Wine, in a throwaway Wine prefix, on a virtual display: a silent
# install (/S); the program started from its Start-menu entry takes the first-start offer and an
# operator logs in; a newer build installed over it keeps the house, byte for byte, and starts on
# it; a silent uninstall removes the program and its entries and leaves the house as it was.
# Ships the Windows tree as it is (scripts/package-windows.sh --tested), once scripts/test-windows.sh
# has built it. About two minutes, most of them making the installer.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
out=${QUILLON_WINDOWS_BUILD:-build-windows}
version=$(sed -n 's/^project(Quillon VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
work=$(mktemp -d)
# A display of its own (the first free one) and a fresh Wine prefix, made while the installers are.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
cleanup() { wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display") WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Without an input method Wine turns the keys xdotool presses into letters; with X's default one it
# passes on only keys such as Tab and Return.
export LC_ALL=C.UTF-8 XMODIFIERS=@im=none
unset WAYLAND_DISPLAY
wineboot -i >/dev/null 2>&1 &
boot=$!

bash scripts/package-windows.sh --tested >/dev/null
setup=$out/quillon-$version-setup.exe
# The newer build: the same program under a later version, with a README of its own; compressed
# the quick way, as only its files matter.
newer=$out/stage/newer
rm -rf "$newer" && cp -r "$out/stage/quillon" "$newer"
printf 'newer build\r\n' >>"$newer/README.txt"
makensis -V1 "-XSetCompressor /FINAL zlib" -DVERSION="$version.1" -DSTAGE="$(realpath "$newer")" \
    -DOUTFILE="$(realpath "$out")/newer-setup.exe" packaging/windows/quillon.nsi
wait $boot || true
fail() { echo "FAIL: $*"; echo "Windows install test: 0 passed, 1 failed"; exit 1; }
c=$WINEPREFIX/drive_c
program="$c/Program Files/Quillon"
menu="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quillon"
house=$(winepath -u "$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')")/quillon/innkeep.mdb
installed_version() {
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillon' /v DisplayVersion 2>/dev/null |
        tr -d '\r' | awk '$1 == "DisplayVersion" { print $3 }'
}
# wait_for TITLE [OLD]: the id of a visible window of that title, other than OLD, within 60 seconds.
wait_for() {
    for _ in $(seq 300); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -vx "${2:-none}" | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    echo "no window \"$1\"" >&2
    return 1
}
# focus ID: Wine takes the keyboard for a window that is clicked, with no window manager to
# give it; the click lands near its top left corner, on a label, not a button.
focus() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + 12)) $((Y + 12)) click 1
    sleep 0.3
}
# log_in [offer]: the program started as its Start-menu entry starts it; with "offer", the first
# start's question and notice are answered first; then admin logs in and the main window opens.
log_in() {
    (cd "$c" && wine start "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Quillon\\Quillon 宾馆前台.lnk") \
        >/dev/null 2>&1
    if [ "${1:-}" = offer ]; then
        id=$(wait_for "提示") && focus "$id" && xdotool key Return &&
            id=$(wait_for "提示" "$id") && focus "$id" && xdotool key Return || return 1
    fi
    id=$(wait_for "登陆Quillon") && focus "$id" && xdotool key --delay 50 a d m i n Tab a d m i n Return &&
        wait_for ".* \[QuillonV3.01\] " >/dev/null || return 1
    wineserver -k
    wineserver -w
}

echo "   $(($(date +%s) - start)) s"
echo "== a silent install"
wine "$(winepath -w "$setup")" /S && wineserver -w
[ -f "$program/quillon.exe" ] && [ -f "$program/libssl-3-x64.dll" ] && [ -f "$program/uninstall.exe" ] ||
    fail "the program is not under Program Files"
[ -f "$menu/Quillon 宾馆前台.lnk" ] && [ -f "$menu/卸载 Quillon.lnk" ] || fail "no Start-menu entries"
[ "$(installed_version)" = "$version" ] || fail "the uninstall entry names version '$(installed_version)'"
[ ! -e "$house" ] || fail "a house before the first start"

echo "   $(($(date +%s) - start)) s"
echo "== the first start from the Start menu: the house made in %LOCALAPPDATA%, admin logs in"
log_in offer || fail "first start and login"
[ -s "$house" ] || fail "no house at $house"
before=$(sha256sum <"$house")

echo "   $(($(date +%s) - start)) s"
echo "== a newer build installed over it: the house kept; it opens with no question"
wine "$(winepath -w "$out/newer-setup.exe")" /S && wineserver -w
[ "$(installed_version)" = "$version.1" ] || fail "the newer build did not replace the older"
grep -q "newer build" "$program/README.txt" || fail "the newer build's files are not in place"
[ "$(sha256sum <"$house")" = "$before" ] || fail "the install changed the house"
log_in || fail "start and login after the newer install"
kept=$(sha256sum <"$house")

echo "   $(($(date +%s) - start)) s"
echo "== a silent uninstall: the program and its entries go, the house stays"
wine "C:\\Program Files\\Quillon\\uninstall.exe" /S && wineserver -w
left=$(find "$program" "$menu" 2>/dev/null || true)
[ -z "$left" ] || fail "left behind: $left"
[ -z "$(installed_version)" ] || fail "the uninstall entry is still there"
[ "$(sha256sum <"$house")" = "$kept" ] || fail "the uninstall changed or removed the house"
echo "Windows install test: 1 passed, 0 failed ($(($(date +%s) - start)) s)"
