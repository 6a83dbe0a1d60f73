#!/bin/sh
# Installs what Kez needs on Debian 12 when missing, then configures and
# builds it in build/, or in the folder given with the CMake options that
# follow it. Used by kez.sh, test.sh and sanitize.sh.
set -e
cd "$(dirname "$0")"

PACKAGES="qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-translations-l10n libgl-dev libqt6opengl6-dev
libsqlite3-dev libxml2-dev fonts-dejavu-core cmake ninja-build g++ pkg-config
iso-codes poppler-utils sqlite3"

missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    echo "Installing:$missing"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
fi

dir=${1:-build}
[ $# -gt 0 ] && shift
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$dir"
