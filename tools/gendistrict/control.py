"""Field-definition (.CRT) and field-transfer (.TDS) files in the GIS root.

The level exports make their tables from P<kind>.CRT and copy the forest
description fields by P<kind>.TDS; the line extractions use L<kind>; the
noded networks take theirs from the UZLIN directory.
"""
import os

AREA_BASE = [("CISLO", "N", 8, 0), ("DRUH", "N", 6, 0), ("DISP_BARVA", "N", 4, 0),
             ("DISP_ZNAC", "N", 4, 0), ("X", "N", 12, 2), ("Y", "N", 12, 2),
             ("PLOCHA", "N", 14, 6), ("LHC_KOD", "C", 4, 0)]
LINE_BASE = [("CISLO", "N", 8, 0), ("DRUH", "N", 6, 0), ("DISP_BARVA", "N", 4, 0),
             ("DISP_ZNAC", "N", 4, 0), ("X", "N", 12, 2), ("Y", "N", 12, 2),
             ("DELKA", "N", 12, 2), ("DRUH_PUV", "N", 6, 0)]
ODD = ("ODD", "N", 4, 0)
DIL = ("DIL", "C", 1, 0)
# The LHC merges write PLOCHA in square metres into the tables of 1100, of
# 134 (the empty areas, such as a lake no district covers) and (through the
# structure of the districts' ZRO tables) 1400: there the field holds any
# LHC below 10^6 ha, at the cost of hectares to three decimals in the
# district levels that share P1400 and P0134. (A width above 14 is cut to 14.)
LHC_AREA = ("PLOCHA", "N", 14, 3)
MERGED_KINDS = (1100, 1400, 134)

# kind: (title, extra fields, transfer pairs)
AREA_LEVELS = {
    1600: ("Porostní skupiny", [ODD, DIL, ("PSK", "C", 3, 0), ("POR", "C", 3, 0)],
           [("ODDELENI", "ODD"), ("DILEC", "DIL"), ("SKUPINA", "PSK"), ("POROST", "POR")]),
    1400: ("Dílce", [ODD, DIL], [("ODDELENI", "ODD"), ("DILEC", "DIL")]),
    1300: ("Oddělení", [ODD], [("ODDELENI", "ODD")]),
    9400: ("Revír", [("REVIR", "C", 2, 0)], [("LS_KOD", "REVIR")]),
    1700: ("Bezlesí", [ODD, DIL, ("BZL", "C", 3, 0)],
           [("ODDELENI", "ODD"), ("DILEC", "DIL"), ("SKUPINA", "BZL")]),
    1800: ("Jiné plochy", [ODD, DIL, ("JP", "C", 3, 0)],
           [("ODDELENI", "ODD"), ("DILEC", "DIL"), ("SKUPINA", "JP")]),
    1900: ("Ostatní plochy", [ODD, DIL, ("OP", "C", 3, 0)],
           [("ODDELENI", "ODD"), ("DILEC", "DIL"), ("SKUPINA", "OP")]),
    134: ("Prázdné plochy", [ODD, DIL, ("SKUPINA", "C", 3, 0)],
          [("ODDELENI", "ODD"), ("DILEC", "DIL"), ("SKUPINA", "SKUPINA")]),
    1100: ("Plocha LHC", [("REVIR", "C", 2, 0)], [("LHC_KOD", "LHC_KOD"), ("REVIR", "REVIR")]),
}
LEVEL_LINE_KINDS = (1600, 1400, 1300, 9400, 1700, 1800, 1900, 1100)
NAMED_LINE_FIELDS = [("NAZEV", "C", 40, 0), ("SIRKA", "N", 5, 1), ("POVRCH", "C", 12, 0)]
EXTRACTED_KINDS = {2100: "Cesty", 2200: "Průseky", 3100: "Vodní toky"}


def _write(path, lines):
    with open(path, "wb") as fh:
        fh.write("".join(l + "\r\n" for l in lines).encode("cp1250"))


def _crt(path, title, fields):
    _write(path, ["; " + title + " - definice položek tabulky"]
           + ["%s %s %d %d" % f for f in fields])


def _tds(path, title, pairs):
    _write(path, ["; " + title + " - přenos položek"] + ["%s %s" % p for p in pairs])


def write_control_files(gis_root):
    written = []

    def both(directory, letter, kind, title, fields, pairs):
        base = os.path.join(directory, "%s%04d" % (letter, kind))
        _crt(base + ".CRT", title, fields)
        _tds(base + ".TDS", title, pairs)
        written.extend([base + ".CRT", base + ".TDS"])

    for kind, (title, extra, pairs) in AREA_LEVELS.items():
        base = [LHC_AREA if f[0] == "PLOCHA" and kind in MERGED_KINDS else f for f in AREA_BASE]
        both(gis_root, "P", kind, title, base + extra, pairs)
    for kind in LEVEL_LINE_KINDS:
        both(gis_root, "L", kind, "Hranice - " + AREA_LEVELS[kind][0], LINE_BASE,
             [("*Druh", "DRUH_PUV")])
    for kind, title in EXTRACTED_KINDS.items():
        both(gis_root, "L", kind, title, LINE_BASE + NAMED_LINE_FIELDS,
             [("NAZEV", "NAZEV"), ("SIRKA", "SIRKA"), ("POVRCH", "POVRCH"), ("*Druh", "DRUH_PUV")])
    uzlin = os.path.join(gis_root, "UZLIN")
    os.makedirs(uzlin, exist_ok=True)
    for kind, title in EXTRACTED_KINDS.items():
        both(uzlin, "L", kind, title + " - uzlovaná síť", LINE_BASE + NAMED_LINE_FIELDS,
             [("NAZEV", "NAZEV"), ("SIRKA", "SIRKA"), ("POVRCH", "POVRCH"), ("DRUH_PUV", "DRUH_PUV")])
    return written
