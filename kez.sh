#!/bin/sh
# Sets up and builds Kez, then starts it on its default database.
set -e
cd "$(dirname "$0")"
./setup.sh
exec build/bin/kez "$@"
