#!/usr/bin/env bash
# Installs the package into a fresh minimal Debian (a debootstrap chroot under build/): one desk
# user starts Quillon from its menu entry on a virtual display, takes the first-start offer and
# logs in; another makes a house with quillon-createdb and gets the login window at once. Then the
# package is removed and purged and both houses must be there, unchanged. As root; some minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "run as root (debootstrap and chroot)"; exit 2; }
deb=$(bash scripts/package.sh | tail -n 1)
base=build/debian-base root=build/debian-test
if [ ! -f "$base/.complete" ]; then # made once, copied fresh for every run
    rm -rf "$base"
    debootstrap --variant=minbase bookworm "$base" "${QUILLON_DEBIAN_MIRROR:-http://deb.debian.org/debian}"
    touch "$base/.complete"
fi
unmount() { for m in dev/pts proc; do ! mountpoint -q "$root/$m" || umount -l "$root/$m"; done; }
trap unmount EXIT
unmount
rm -rf "$root" && cp -a "$base" "$root"
mount -t proc proc "$root/proc" && mount -t devpts devpts "$root/dev/pts"
cp /etc/resolv.conf "$root/etc/" && cp "$deb" "$root/tmp/"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }
fail() { echo "FAIL: $*"; echo "package install test: 0 passed, 1 failed"; exit 1; }

echo "== the package alone: its dependencies must be enough"
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends "/tmp/$(basename "$deb")" >/dev/null
in_root apt-get install -y -qq --no-install-recommends xvfb xauth xdotool >/dev/null # the harness
in_root useradd -m desk && in_root useradd -m night

# drive.sh: the program as its menu entry starts it, on a virtual display, with the caller's
# drive function pressing keys; wait_for TITLE gives the window's id within 30 seconds.
cat >"$root/tmp/drive.sh" <<'DRIVE'
export DISPLAY=:7 HOME=$(getent passwd "$(id -un)" | cut -d: -f6)
Xvfb :7 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 & xvfb=$!
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.2; done
$(sed -n 's/^Exec=//p' /usr/share/applications/quillon.desktop) >"/tmp/quillon-$(id -un).log" 2>&1 & app=$!
wait_for() {
    for _ in $(seq 150); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    echo "no window \"$1\"" >&2; return 1
}
drive; result=$?
kill $app $xvfb; wait
exit $result
DRIVE

echo "== first start with no house: take the offer, answer the notice, log in as admin"
as_user() { in_root su -s /bin/bash -c "source /tmp/$2.sh; source /tmp/drive.sh" "$1"; }
cat >"$root/tmp/first.sh" <<'FIRST'
drive() {
    id=$(wait_for "提示") && xdotool windowfocus --sync "$id" key Return && sleep 0.5 &&
    id=$(wait_for "提示") && xdotool windowfocus --sync "$id" key Return &&
    id=$(wait_for "登陆Quillon") && xdotool windowfocus --sync "$id" type --delay 50 admin &&
    xdotool key Tab type --delay 50 admin && xdotool key Return && wait_for ".* \[QuillonV3.01\] " >/dev/null
}
FIRST
as_user desk first || fail "first start: $(cat "$root/tmp/quillon-desk.log")"
houses="/home/desk/.local/share/quillon/innkeep.mdb /home/night/.local/share/quillon/innkeep.mdb"

echo "== a house made with quillon-createdb: the login window, nothing asked"
in_root su -c "mkdir -p ~/.local/share/quillon && quillon-createdb --empty ~/.local/share/quillon/innkeep.mdb" night >/dev/null
cat >"$root/tmp/second.sh" <<'SECOND'
drive() { wait_for "登陆Quillon" >/dev/null && ! xdotool search --onlyvisible --name "^提示\$" >/dev/null; }
SECOND
as_user night second || fail "start with a house: $(cat "$root/tmp/quillon-night.log")"
sums=$(in_root sha256sum $houses) || fail "a house is missing"

echo "== remove and purge: the program goes, the houses stay"
in_root apt-get remove -y -qq quillon >/dev/null && in_root dpkg --purge quillon >/dev/null 2>&1
left=$(in_root sh -c 'ls -d /usr/bin/quillon* /usr/share/doc/quillon /usr/share/*/quillon* /usr/share/man/man1/quillon* /usr/share/icons/hicolor/*/apps/quillon.*' 2>/dev/null || true)
[ -z "$left" ] || fail "left behind: $left"
[ "$(in_root sha256sum $houses)" = "$sums" ] || fail "a house changed or went with the package"
echo "package install test: 1 passed, 0 failed"
