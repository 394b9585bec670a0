"""The symbols and colours that the sample's objects carry, from the symbol
libraries that tools/gensymbols writes (symbol numbers above 999 name library
symbols: font or library entry, then character)."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "gensymbols"))

from gensymbols import SAMPLE_SYMBOLS, write_symbols  # noqa: E402,F401
from district import NONFOREST, OTHER                   # noqa: E402

S = SAMPLE_SYMBOLS
# Gelix colour numbers: 1 navy, 4 maroon, 8 blue, 11 red, 13 black.
POINT_SYMBOLS = {501: (S["boundary_stone"], 11), 502: (S["trig_point"], 13), 510: (S["culvert"], 8)}
LINE_SYMBOLS = {21: S["road"], 25: S["road"], 35: S["dashed"], 22: S["dashed"],
                26: S["stream"], 433: S["stream"], 94: S["ticks"]}
AREA_SYMBOLS = {NONFOREST: S["meadow"], OTHER: S["rock"]}
TEXT_FONT = 0  # "Simp"


def symbolize(lines=(), areas=(), points=(), texts=()):
    """Gives the objects of one block their library symbols."""
    for p in points:
        if p.druh in POINT_SYMBOLS:
            p.znacka, p.barva = POINT_SYMBOLS[p.druh]
    for l in lines:
        if l.druh in LINE_SYMBOLS:
            l.znacka = LINE_SYMBOLS[l.druh]
        if l.druh == 22 and l.symbol:
            l.symbol = S["tree"]
    for a in areas:
        if getattr(a, "note", None) in AREA_SYMBOLS:
            a.znacka = AREA_SYMBOLS[a.note]
    for t in texts:
        t.font = TEXT_FONT
