#!/usr/bin/env python3
"""Write the symbol libraries of the sample data tree into a symbol directory.

    gensymbols.py --out DIR

DIR is the directory that the program knows as C:\\TTRIZENI. It receives
    Fonty.txt     the point-symbol fonts: font 1 is ZNACKY.FNT
    ZNACKY.FNT    a stroked symbol font made from symbols.txt
    Styly.txt     text styles by text kind
    linzn.txt     line symbols: dashes, ticks, a glyph chain, offset chains
    Srafy.txt     area symbols: hatches over a background
    Simp.LVF      the stroked text font "Simp" in the Latin-2 layout
                  (Czech letters included), made from glyphs.txt
Symbol numbers: a number above 999 is font (number div 1000), character
(number mod 1000); SAMPLE_SYMBOLS below names the ones the sample uses.
Python 3, standard library only; the same input gives the same bytes.
"""
import argparse
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SIGNATURE = b"PK\x08\x08"
HEADER_SIZE = 128

# What the sample district's objects carry (tools/gendistrict uses these).
SAMPLE_SYMBOLS = {
    "boundary_stone": 1065,   # ZNACKY.FNT "A": a square with its diagonals
    "trig_point": 1066,       # "B": a triangle
    "culvert": 1067,          # "C": a circle
    "tree": 1069,             # "E": a point symbol drawn on a line
    "dashed": 1001,           # rides
    "stream": 1003,           # arrows of glyph "D" along the line
    "road": 1004,             # the line with both edges offset
    "ticks": 1002,            # boundary ticks
    "meadow": 1201,           # horizontal hatch on light green
    "rock": 1202,             # crossed diagonal hatch on grey
}


def parse_glyphs(path):
    """Glyph name -> (advance, strokes); strokes are lists of (x, y)."""
    glyphs = {}
    with open(path, encoding="utf-8") as fh:
        for number, raw in enumerate(fh, 1):
            line = raw.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            if " = " in line and not line.startswith("= "):
                name, rest = line.split(" = ", 1)
                base, accent, x, y = rest.split()
                if base not in glyphs or accent not in glyphs:
                    raise ValueError("%s:%d: unknown glyph in %r" % (path, number, line))
                advance, strokes = glyphs[base]
                extra = [[(px + int(x), py + int(y)) for px, py in s] for s in glyphs[accent][1]]
                glyphs[name] = (advance, strokes + extra)
                continue
            name, rest = line.split(" ", 1)
            advance, _, body = rest.partition(":")
            strokes = []
            for part in body.split("|"):
                pts = [tuple(int(v) for v in p.split(",")) for p in part.split()]
                if pts:
                    strokes.append(pts)
            glyphs[name] = (int(advance), strokes)
    return glyphs


def _coord(v):
    if not -64 <= v <= 63:
        raise ValueError("font coordinate %d out of range" % v)
    return v & 0x7F


def _commands(strokes, advance):
    out = bytearray()
    for stroke in strokes:
        for i, (x, y) in enumerate(stroke):
            # Bit 7 of both bytes: line to the point; of the first only: move.
            out += bytes((_coord(x) | 0x80, _coord(y) | (0x80 if i else 0)))
    # The pen ends at the advance: the next glyph starts where this one ends.
    out += bytes((_coord(advance) | 0x80, 0))
    return bytes(out + b"\0\0")


def font_bytes(codes, cap_height, title):
    """A stroked font file: code -> (advance, strokes) for the codes first..last."""
    first, last = min(codes), max(codes)
    count = last - first + 1
    offsets, widths, strokes = [], [], bytearray()
    for code in range(first, last + 1):
        advance, glyph = codes.get(code, (0, []))
        offsets.append(len(strokes))
        widths.append(advance)
        strokes += _commands(glyph, advance)
    table = 16 + 3 * count
    block = bytearray(16)
    block[0] = ord("+")
    block[1] = count
    block[4] = first
    block[5:7] = struct.pack("<H", table)
    block[8] = cap_height
    block[10] = 0xFD  # descender -3
    for o in offsets:
        block += struct.pack("<H", o)
    block += bytes(widths)
    block += strokes
    header = bytearray(SIGNATURE + title.encode("ascii") + b"\r\n\x1a")
    header += bytes(HEADER_SIZE - len(header))
    return bytes(header + block)


def text_font(glyphs, codec):
    codes = {32: glyphs["space"]}
    for name, glyph in glyphs.items():
        if len(name) == 1:
            codes[name.encode(codec)[0]] = glyph
    return font_bytes(codes, 9, "Simp stroked text font")


def symbol_font(glyphs):
    return font_bytes({ord(n): g for n, g in glyphs.items()}, 10, "ZNACKY stroked symbol font")


FONTY = """; point-symbol fonts: number, file, size mode (S points, D metres, M millimetres), size, pen
1 ZNACKY.FNT M 3 0.25
"""

STYLY = """; text styles by text kind (applied to texts with the capital-height bit)
[STYL]
NAZEV=Oddeleni
DRUH=1
REZIM=M
FONT=0
VYSKA=4
SIRKA=1
SKLON=0
ROZESTUPY=0.5
BARVA=13
DRUHCARY=0
SILAPERA=0.25
[END]
[STYL]
NAZEV=Pomistni jmeno
DRUH=10
REZIM=M
FONT=0
VYSKA=2.5
SIRKA=1
SKLON=15
ROZESTUPY=0.3
BARVA=1
DRUHCARY=0
SILAPERA=0.18
[END]
"""

# The solid line on the axis that ticks and glyph chains go along.
SOLID_CHAIN = """[RETEZ]
SILA=0.18
[CLANEK]
SILA=0.18
VELIKOST=0
[END]
[END]
"""


def side_chain(side):
    """Dashes 0.6 mm beside the axis, on side L or P."""
    return """[RETEZ]
SILA=0.18
VZDALENOST=0.6
STRANA=%s
[CLANEK]
SILA=0.18
VELIKOST=5
[END]
[END]
""" % side


LINZN = """; line symbols: sizes in millimetres of the map
[LINIOVAZNACKA]
KOD=1001
NAZEV=Carkovana
[RETEZ]
SILA=0.18
[CLANEK]
SILA=0.18
VELIKOST=3
VZDALENOST=1.5
[END]
[END]
[END]
[LINIOVAZNACKA]
KOD=1002
NAZEV=Hranice s carkami
""" + SOLID_CHAIN + """[RETEZ]
SILA=0.18
[CLANEK]
SILA=0.18
VELIKOST=1.2
UHEL=90
VZDALENOST=3
[END]
[END]
[END]
[LINIOVAZNACKA]
KOD=1003
NAZEV=Vodni tok
""" + SOLID_CHAIN + """[RETEZ]
SILA=0.18
[PETRKLIC]
SILA=0.18
SOUBOR=ZNACKY.FNT
KOD=68
VELIKOST=1.5
VZDALENOST=4
[END]
[END]
[END]
[LINIOVAZNACKA]
KOD=1004
NAZEV=Cesta
""" + side_chain("L") + side_chain("P") + """[END]
"""

SRAFY = """; area symbols: widths and spacings in millimetres of the map, colours Gelix numbers
[PLOSNAZNACKA]
KOD=1201
NAZEV=Louka
PODKLAD=9
[VRSTVASRAF]
UHEL=0
[SRAFA]
SIRKA=0.2
BARVA=2
VZDALENOST=1.5
[END]
[END]
[END]
[PLOSNAZNACKA]
KOD=1202
NAZEV=Skaly
PODKLAD=15
[VRSTVASRAF]
UHEL=45
[SRAFA]
SIRKA=0.2
BARVA=13
VZDALENOST=1.2
[END]
[END]
[VRSTVASRAF]
UHEL=135
[SRAFA]
SIRKA=0.2
BARVA=13
VZDALENOST=1.2
[END]
[END]
[END]
"""


def write_symbols(out):
    os.makedirs(out, exist_ok=True)
    text_glyphs = parse_glyphs(os.path.join(HERE, "glyphs.txt"))
    symbol_glyphs = parse_glyphs(os.path.join(HERE, "symbols.txt"))
    files = {
        "Simp.LVF": text_font(text_glyphs, "cp852"),
        "ZNACKY.FNT": symbol_font(symbol_glyphs),
        "Fonty.txt": FONTY.encode("cp1250"),
        "Styly.txt": STYLY.encode("cp1250"),
        "linzn.txt": LINZN.encode("cp1250"),
        "Srafy.txt": SRAFY.encode("cp1250"),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as fh:
            fh.write(data)
    return sorted(files)


def main(argv=None):
    parser = argparse.ArgumentParser(description="Write the sample symbol libraries.")
    parser.add_argument("--out", required=True, help="the symbol directory (C:\\TTRIZENI)")
    args = parser.parse_args(argv)
    names = write_symbols(args.out)
    print("%s: %s" % (args.out, " ".join(names)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
