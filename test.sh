#!/bin/sh
# Sets up and builds Kez, then runs every test on the offscreen platform.
set -e
cd "$(dirname "$0")"
./setup.sh
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$(nproc)"
