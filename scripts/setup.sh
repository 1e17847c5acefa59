#!/bin/sh
# Installs the Debian packages the project builds, tests and runs with; only what is missing.
set -e
# clang and its runtime build the fuzzers; help2man the manual pages; dpkg-dev and file let CPack
# declare the package's dependencies; desktop-file-utils checks the desktop entry. The records
# store: SQLite, libpq and libcrypto (the images' SHA-256); a PostgreSQL server and pg_virtualenv
# (postgresql-common) for its tests; sqlite3 sets the times of the records pictured in the docs.
# libargon2 hashes the engineer's password; nlohmann-json reads and writes the service's JSON.
PACKAGES="cmake g++ make pkg-config qt6-base-dev libserialport-dev libgtest-dev libgmock-dev \
libjpeg-dev libasound2-dev gputils srecord xvfb python3 clang libclang-rt-dev help2man dpkg-dev \
file desktop-file-utils libsqlite3-dev libpq-dev libssl-dev postgresql postgresql-common sqlite3 \
libargon2-dev nlohmann-json3-dev"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
