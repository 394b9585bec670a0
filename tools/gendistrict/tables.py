"""The attribute tables of the generated blocks (named by kind letter and kind)."""
import os

from dbf import Field, write_table
from district import STAND, NONFOREST, OTHER, REMAINING

DET_AREA_KIND = 110

DET_FIELDS = (
    Field("CISLO", "N", 8), Field("LHC", "C", 4), Field("LS_KOD", "C", 2),
    Field("ODDELENI", "N", 4), Field("DILEC", "C", 1), Field("POROST", "C", 3),
    Field("SKUPINA", "C", 3), Field("PLOCHA", "N", 14, 6), Field("KATEGORIE", "C", 20),
)
CATEGORY = {STAND: "porost", NONFOREST: "bezlesí", OTHER: "jiná plocha", REMAINING: "ostatní plocha"}

LINE_FIELDS = (
    Field("CISLO", "N", 8), Field("NAZEV", "C", 40), Field("SIRKA", "N", 5, 1),
    Field("POVRCH", "C", 12),
)
POINT_FIELDS = (Field("CISLO", "N", 8), Field("NAZEV", "C", 40))


def table_name(letter, druh):
    return "%s%04d.DBF" % (letter, druh)


def write_det_table(block, district, lhc):
    rows = []
    for a in sorted(district.areas, key=lambda a: a.number):
        rows.append((a.number, lhc, district.code, a.odd, a.dil, a.porost, a.skupina,
                     a.net / 10000.0, CATEGORY[a.note]))
    path = os.path.join(block, table_name("P", DET_AREA_KIND))
    write_table(path, DET_FIELDS, rows)
    return path


def write_line_tables(block, lines, surfaces):
    """One table per line kind that has names (roads, rides, streams)."""
    by_kind = {}
    for l in lines:
        if l.name:
            by_kind.setdefault(l.druh, []).append(l)
    written = []
    for druh, group in sorted(by_kind.items()):
        rows = [(l.number, l.name, 3.0 + (l.number % 4), surfaces[l.number % len(surfaces)])
                for l in sorted(group, key=lambda l: l.number)]
        path = os.path.join(block, table_name("L", druh))
        write_table(path, LINE_FIELDS, rows)
        written.append(path)
    return written


def write_point_tables(block, points):
    by_kind = {}
    for p in points:
        by_kind.setdefault(p.druh, []).append(p)
    for druh, group in sorted(by_kind.items()):
        rows = [(p.number, p.name) for p in sorted(group, key=lambda p: p.number)]
        write_table(os.path.join(block, table_name("B", druh)), POINT_FIELDS, rows)
