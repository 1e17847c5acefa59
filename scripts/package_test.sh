#!/bin/sh
# Unpacks the built Debian package into a scratch root (dpkg -x, as it would be installed) and
# runs the command line from there; checks the files a desktop and man(1) look for.
# Usage: package_test.sh [BUILD]
set -e
build=${1:-build}
deb=$(ls "$build"/ze-zuzu_*.deb | tail -n 1)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
cli=$root/usr/bin/ze-zuzu-cli
data=$root/usr/share/ze-zuzu
failed=0
check() { # check DESCRIPTION COMMAND...: the command succeeds
    what=$1
    shift
    if "$@" >/dev/null 2>&1; then echo "package: ok   $what"; else echo "package: FAIL $what"; failed=1; fi
}

check "--help lists the in-circuit option" sh -c "'$cli' --help | grep -q -- --icsp"
check "--version" sh -c "'$cli' --version | grep -qx 'ze-zuzu-cli [0-9.]*'"
check "chips from the package's data" sh -c "'$cli' --data-dir '$data' chips | grep -qx 16F877A"
# Without --data-dir the program finds the data of its own prefix.
check "data found under the prefix" \
    sh -c "'$cli' --chip NO-SUCH-CHIP info 2>&1 | grep -qF 'in $data'"
check "ports" "$cli" ports
check "a program run on the virtual board" "$cli" --data-dir "$data" --virtual-board blank
check "the window" test -x "$root/usr/bin/ze-zuzu"
check "desktop entry" test -f "$root/usr/share/applications/ze-zuzu.desktop"
if command -v desktop-file-validate >/dev/null 2>&1; then
    check "desktop entry valid" desktop-file-validate "$root/usr/share/applications/ze-zuzu.desktop"
fi
check "icon" test -f "$root/usr/share/icons/hicolor/scalable/apps/ze-zuzu.svg"
check "manual page of the options" \
    sh -c "gzip -dc '$root/usr/share/man/man1/ze-zuzu-cli.1.gz' | grep -q -- 'osccal'"
check "udev rule" grep -q uaccess "$root/usr/lib/udev/rules.d/60-ze-zuzu.rules"
check "bash completion" test -f "$root/usr/share/bash-completion/completions/ze-zuzu-cli"
check "dependencies declared" sh -c "dpkg-deb -f '$deb' Depends | grep -q libserialport0"
# What apt would do to install it here, without doing it: every dependency can be met.
if command -v apt-get >/dev/null 2>&1; then
    check "installable" apt-get install --simulate -qq "$(cd "$(dirname "$deb")" && pwd)/${deb##*/}"
fi
if command -v man >/dev/null 2>&1; then
    check "manual page renders" man -l "$root/usr/share/man/man1/ze-zuzu-cli.1.gz"
fi
exit $failed
