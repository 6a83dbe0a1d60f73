#!/bin/sh
# Regenerates data/reference/nazioni.sql from Debian's iso-codes package
# (installed by setup.sh) and copies its licence notice beside it.
set -e
here="$(cd "$(dirname "$0")" && pwd)"
out="$here/../reference"
python3 "$here/nazioni2sql.py" "$out"
{
    echo "Nazioni is generated from Debian's iso-codes package, version" \
         "$(dpkg-query -W -f='${Version}' iso-codes) (ISO 3166-1 and its Italian translation)."
    echo "Its copyright notice follows."
    echo
    cat /usr/share/doc/iso-codes/copyright
} > "$out/nazioni.LICENSE"
