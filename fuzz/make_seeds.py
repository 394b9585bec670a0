#!/usr/bin/env python3
"""Seeds for the fuzz drivers, from a district tree of tools/gendistrict and
small hand-made files: one directory per driver under OUT.

    make_seeds.py --district DIR --out OUT
"""
import argparse
import os
import struct
import sys


def join_files(parts):
    """The drivers' several-files input: each file as its length (four bytes,
    least significant first) and its bytes."""
    return b"".join(struct.pack("<I", len(p)) + p for p in parts)


def read(path):
    try:
        with open(path, "rb") as fh:
            return fh.read()
    except OSError:
        return b""


BLOCK_FILES = ["TN.ARE", "TN.LIN", "TN.CRD", "TN.PNT", "TN.TBX", "TN.TTX", "INFO.TXT"]


def blocks(district):
    for root, dirs, _ in os.walk(district):
        for d in sorted(dirs):
            if d.upper().endswith(".BLK"):
                yield os.path.join(root, d)


# --- values of model files: list, integer and string as the loader reads them
def v_int(n):
    if -128 <= n <= 127:
        return b"\x02" + struct.pack("<b", n)
    if -32768 <= n <= 32767:
        return b"\x03" + struct.pack("<h", n)
    return b"\x04" + struct.pack("<i", n)


def v_str(s):
    b = s.encode("cp1250")
    return b"\x06" + bytes([len(b)]) + b


LIST, END = b"\x01", b"\x00"


def zlt_model():
    out = b"ZLT0" + v_str("hlavička") * 3 + LIST
    for name, props in (("TOwnerEntity", [("Name", 10)]),
                        ("TTool", [("Name", 10), ("Input", 7), ("Output", 7)]),
                        ("TStringElement", [("Value", 10), ("Name", 10)])):
        out += v_int(-1) + v_str(name) + v_int(0) + LIST
        out += b"".join(v_str(p) + v_int(k) for p, k in props) + END
    # A string, a tool with an inline entity as input, an entity of all three.
    out += v_int(2) + v_int(0) + LIST + v_int(0) + v_str("hodnota") + END + v_int(0)
    out += v_int(1) + v_int(1) + LIST + v_int(1) + v_int(-2) + LIST
    out += v_int(0) + v_int(2) + LIST + v_int(0) + v_str("objekt") + END + v_int(1) + LIST + v_int(0) + END
    out += END + END + v_int(0)
    out += v_int(0) + v_int(3) + LIST + v_int(0) + v_str("kořen") + END + v_int(1) + LIST
    out += v_int(0) + v_int(1) + v_int(2) + END
    return out + END


def tpf_model():
    return (b"TPF0" + LIST + v_str("TOwnerElement") + v_int(0) + v_str("list")
            + v_str("TEntity") + v_int(1) + LIST + v_int(0) + END + END)


def font_bytes(signature):
    """A stroked font of two glyphs: "A" along the baseline, "B" upright."""
    head = bytearray(128)
    if signature:
        head[0:4] = b"\x50\x4b\x08\x08"
    b = bytearray(16)
    b[1], b[4], b[5], b[8] = 2, ord("A"), 16 + 4 + 2, 10
    b += bytes([0, 0, 6, 0, 10, 12])
    b += bytes([0x80, 0, 10, 0x80, 0, 0, 0x80, 0, 0, 10 | 0x80, 0, 0])
    return bytes(head + b)


FONTY = b"2 symb.fnt D 20 0.1\n3 SYMB.FNT M 5 0.3\n"
STYLY = (b"[STYL]\nNAZEV=Popis\nDRUH=7\nREZIM=D\nFONT=0\nVYSKA=2\nSIRKA=1\nSKLON=15\n"
         b"ROZESTUPY=0.5\nBARVA=4\nDRUHCARY=2\nSILAPERA=0.4\n[END]\n")
LINZN = (b"[LiniovaZnacka]\nKOD=1001\nNAZEV=Carkovana\n"
         b"[RETEZ]\nSTRANA=L\n[CLANEK]\nVELIKOST=6\nVZDALENOST=4\n[END]\n[END]\n[END]\n"
         b"[LINIOVAZNACKA]\nKOD=1003\n[RETEZ]\nVZDALENOST=5\nSTRANA=P\n[CLANEK]\nVELIKOST=10\n[END]\n[END]\n"
         b"[RETEZ]\n[PETRKLIC]\nSOUBOR=symb.fnt\nKOD=66\nVELIKOST=12\nVZDALENOST=8\n[END]\n[END]\n[END]\n")
SRAFY = (b"[PlosnaZnacka]\nKOD = 1201\nNAZEV=Pastvina\nPODKLAD=10\n"
         b"[VrstvaSraf]\nUHEL=45\n[Srafa]\nSIRKA=0.2\nBARVA=13\nVZDALENOST=0.6\n[End]\n[End]\n[End]\n")

EXPRESSIONS = [
    b"Name = 'Hranice'", b"CLASS(TPolyLineElement) AND (Count > 1)", b"(1 + 2) * 3 - 4 / 2",
    b"NOT (Name <> 'Les') OR Count >= 2", b"'a' + 'b' = 'ab'", b"-1.5e3 < 2", b"Name LIKE 'H*'",
]
COMMANDS = [
    b"WORLD.Name\nworld.ObjectModel.Name\n; a comment",
    b"ACTIVEELEMENT = WORLD.ObjectModel\nACTIVEELEMENT.ELEMENT.Name\nACTIVEELEMENT.Hranice.Count",
    b"x = WORLD.ObjectModel.FINDELEMENTBYNAME(Hranice)\nx.Name\nx.Name = 'jina'\nx.Name",
    b"'a constant'\n\" kept  \"\nWORLD.ObjectModel.Count",
]


def dbase_program():
    # walk, locate 1, edit field 1, append, delete, rebuild the index, grouped sum
    return bytes([0, 1, 1, 0, 0, 2, 1, 3]) + b"abc" + bytes([3, 0, 2]) + b"12" + bytes([4, 5, 6, 1, 0])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--district", required=True, help="the --out directory of gendistrict")
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    seeds = {}

    def add(target, name, data):
        seeds.setdefault(target, []).append((name, data))

    gis = os.path.join(args.district, "GIS")
    district = os.path.join(gis, "4107", "01")
    for block in blocks(os.path.join(gis, "4107")):
        tag = os.path.relpath(block, gis).replace(os.sep, "_")
        add("block_directory", tag, join_files([read(os.path.join(block, f)) for f in BLOCK_FILES]))
        for table in sorted(os.listdir(block)):
            if table.upper().endswith(".DBF"):
                add("dbase", tag + "_" + table,
                    join_files([read(os.path.join(block, table)), b"", dbase_program()]))
    det = os.path.join(district, "DET.BLK")
    add("district_export", "01_DET", join_files([read(os.path.join(det, f)) for f in BLOCK_FILES + ["P0110.DBF"]]))
    # The LHC merge reads the blocks the level exports wrote: seeds only from
    # a tree where both districts were exported (fuzz/corpus/lhc_merge holds
    # seeds made so; the generator alone writes no level block).
    lhc = os.path.dirname(district)
    for option, suffix, table in ((b"\x00", "_94REG.BLK", "P9400.DBF"), (b"\x01", "_91ZRO.BLK", "P1400.DBF")):
        merged = [os.path.join(lhc, code, code + suffix) for code in ("01", "02")]
        if all(os.path.isdir(block) for block in merged):
            names = BLOCK_FILES[:6] + [table, "P0134.DBF"]
            add("lhc_merge", "01_02" + suffix[:-4],
                join_files([option] + [read(os.path.join(block, f)) for block in merged for f in names]))
    # The DET-GIS check compares a level's table with the DET table: the
    # first byte picks the level (PSK POR DIL ZRO ODD REG BZL JP OP).
    for i, (suffix, table) in enumerate((("_16PSK.BLK", "P1600.DBF"), ("_15POR.BLK", "P1500.DBF"),
                                         ("_14DIL.BLK", "P1400.DBF"), ("_91ZRO.BLK", "P1400.DBF"),
                                         ("_13ODD.BLK", "P1300.DBF"), ("_94REG.BLK", "P9400.DBF"))):
        level = os.path.join(district, os.path.basename(district) + suffix, table)
        if os.path.isfile(level):
            add("det_gis_check", suffix[1:-4], join_files([bytes([i]), read(os.path.join(det, "P0110.DBF")),
                                                            read(level)]))
    add("det_gis_check", "DET", join_files([b"\x00", read(os.path.join(det, "P0110.DBF")),
                                            read(os.path.join(det, "P0110.DBF"))]))
    # The line jobs: each job reads the LHC's road block and district 01's
    # block of other lines, as its own inputs where it nodes them.
    roads = (os.path.join(gis, "4107", "CES.BLK"), "L0350.DBF")
    others = (os.path.join(district, "SLU.BLK"), "L0026.DBF")
    for job, name, inputs in ((0, "lhc_lines", [roads, others]), (1, "communications", [roads, others]),
                              (2, "waters", [others])):
        parts = [bytes([job])]
        for block, table in inputs:
            parts += [read(os.path.join(block, f)) for f in ("TN.LIN", "TN.CRD", "TN.PNT", "INFO.TXT", table)]
        add("line_jobs", name, join_files(parts))
    for crt in sorted(os.listdir(gis)):
        if crt.upper().endswith(".CRT"):
            stem = crt[:-4]
            add("table_creation", stem, join_files([read(os.path.join(gis, crt)),
                                                    read(os.path.join(gis, stem + ".TDS")),
                                                    read(os.path.join(det, "P0110.DBF"))]))
    for i, text in enumerate(EXPRESSIONS):
        add("expressions", "expression%d" % i, text)
    for i, text in enumerate(COMMANDS):
        add("command_lines", "commands%d" % i, text)
    ini = read(os.path.join(args.district, "TERGELIX.INI"))
    add("model_files", "zlt", join_files([zlt_model(), ini]))
    add("model_files", "tpf", join_files([tpf_model(), ini]))
    add("symbol_libraries", "libraries", join_files([FONTY, STYLY, LINZN, SRAFY, font_bytes(True)]))
    add("symbol_libraries", "text_font", join_files([FONTY, STYLY, b"", b"", font_bytes(False)]))

    for target, files in seeds.items():
        directory = os.path.join(args.out, target)
        os.makedirs(directory, exist_ok=True)
        for name, data in files:
            with open(os.path.join(directory, name), "wb") as fh:
                fh.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
