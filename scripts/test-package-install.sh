#!/usr/bin/env bash
# Installs the package into a fresh minimal Debian (a debootstrap chroot in build/), lets a
# desk user start Quillon on a virtual display, create the house at the first-start offer and log
# in; another user's house is made with quillon-createdb. Then the package is removed and purged,
# and both houses must still be there, unchanged. Needs root. Takes several minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "run as root (debootstrap and chroot)"; exit 2; }
deb=$(bash scripts/package.sh | tail -n 1)
base=build/debian-base
root=build/debian-test
mirror=${QUILLON_DEBIAN_MIRROR:-http://deb.debian.org/debian}

# One minimal base, made once and copied fresh for every run.
if [ ! -f "$base/.quillon-base-complete" ]; then
    rm -rf "$base"
    debootstrap --variant=minbase bookworm "$base" "$mirror"
    touch "$base/.quillon-base-complete"
fi
cleanup() {
    for m in dev/pts proc; do
        if mountpoint -q "$root/$m"; then umount -l "$root/$m"; fi
    done
}
trap cleanup EXIT
cleanup
rm -rf "$root"
cp -a "$base" "$root"
mount -t proc proc "$root/proc"
mount -t devpts devpts "$root/dev/pts" || true
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }
as_desk() { in_root su -s /bin/bash -c "$2" "$1"; }

fail() { echo "FAIL: $*"; exit 1; }
step() { echo "== $*"; }

step "install the package alone: its dependencies must be enough"
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends "/tmp/$(basename "$deb")" >/dev/null
in_root test -x /usr/bin/quillon || fail "quillon not installed"
in_root test -f /usr/share/applications/quillon.desktop || fail "no menu entry"
# The harness: a virtual display and a way to find and press windows on it.
in_root apt-get install -y -qq --no-install-recommends xvfb xauth xdotool procps >/dev/null
in_root useradd -m desk
in_root useradd -m night

# Runs a script as a user with Quillon's display, and the program started from the menu entry.
cat >"$root/tmp/drive.sh" <<'DRIVE'
set -u
export DISPLAY=:7 HOME=$(getent passwd "$(id -un)" | cut -d: -f6)
Xvfb :7 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.2; done
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/quillon.desktop)
$exec_line >/tmp/quillon-$(id -un).log 2>&1 &
app=$!
# wait_for TITLE: the id of the visible window with that title, within 30 seconds.
wait_for() {
    for _ in $(seq 150); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    return 1
}
result=0
drive "$@" || result=1
kill "$app" 2>/dev/null; wait "$app" 2>/dev/null
kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null
exit $result
DRIVE

step "first start with no house: the offer creates one, then admin logs in"
cat >"$root/tmp/first.sh" <<'FIRST'
drive() {
    ask=$(wait_for "提示") || { echo "no first-start offer"; return 1; }
    xdotool windowfocus --sync "$ask" key Return
    sleep 0.5
    done_msg=$(wait_for "提示") || { echo "no message after creating"; return 1; }
    xdotool windowfocus --sync "$done_msg" key Return
    login=$(wait_for "登陆Quillon") || { echo "no login window"; return 1; }
    xdotool windowfocus --sync "$login"
    xdotool type --delay 50 admin; xdotool key Tab; xdotool type --delay 50 admin; xdotool key Return
    wait_for ".* \[QuillonV3.01\] " >/dev/null || { echo "no main window after login"; return 1; }
}
FIRST
as_desk desk "source /tmp/first.sh; source /tmp/drive.sh" || fail "first start (log: $(cat "$root/tmp/quillon-desk.log"))"
house=/home/desk/.local/share/quillon/innkeep.mdb
in_root test -s "$house" || fail "no house at $house"

step "a house made with quillon-createdb: the program shows the login window, asking nothing"
as_desk night "mkdir -p ~/.local/share/quillon && quillon-createdb --empty ~/.local/share/quillon/innkeep.mdb" >/dev/null
cat >"$root/tmp/second.sh" <<'SECOND'
drive() {
    wait_for "登陆Quillon" >/dev/null || { echo "no login window"; return 1; }
    if xdotool search --onlyvisible --name "^提示\$" >/dev/null 2>&1; then echo "asked although the house exists"; return 1; fi
}
SECOND
as_desk night "source /tmp/second.sh; source /tmp/drive.sh" || fail "start with a house"

sums=$(in_root sha256sum "$house" /home/night/.local/share/quillon/innkeep.mdb)

step "remove and purge: the program goes, the houses stay"
in_root apt-get remove -y -qq quillon >/dev/null
in_root test ! -e /usr/bin/quillon || fail "program still there after remove"
in_root dpkg --purge quillon >/dev/null 2>&1
left=$(in_root sh -c 'ls -d /usr/share/doc/quillon /usr/share/applications/quillon.desktop /usr/share/icons/hicolor/*/apps/quillon.* 2>/dev/null' || true)
[ -z "$left" ] || fail "left behind: $left"
[ "$(in_root sha256sum "$house" /home/night/.local/share/quillon/innkeep.mdb)" = "$sums" ] ||
    fail "a house changed or went with the package"
echo "package install test: 1 passed, 0 failed"
