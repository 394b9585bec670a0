#!/usr/bin/env python3
"""Generate a GIS data tree of forest districts in the Gelix block format.

    gendistrict.py --out DIR [--seed N] [--size sample|large|COLSxROWS[,COLSxROWS]] [--lhc CODE]

writes DIR/GIS (control files, UZLIN, the LHC directory with its districts),
DIR/TERGELIX.INI and DIR/expected.json (what the level exports must give).
The same arguments give the same bytes.
"""
import argparse
import json
import math
import os
import random
import re
import shutil
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from blockfile import write_block                      # noqa: E402
from control import write_control_files                # noqa: E402
from district import District                          # noqa: E402
from expected import expected_checks, expected_levels                   # noqa: E402
from ini import settings, write_ini                              # noqa: E402
from lattice import Lattice, ShiftedColumn                            # noqa: E402
from linework import (ROAD_NAMES, SITUATION_KINDS, SURFACES, ces_lines, det_points_and_texts,  # noqa: E402
                      lhc_ces_lines, situation_lines, situation_points_and_texts)
from networks import noded_network                  # noqa: E402
from model import link_lines                           # noqa: E402
from symbology import symbolize, write_symbols         # noqa: E402
from tables import write_det_table, write_line_tables, write_point_tables  # noqa: E402

# Lattice columns and rows of each district: (district 01, district 02).
SIZES = {
    "sample": ((16, 12), (12, 9)),
    "large": ((470, 460), (12, 9)),
}
ORIGIN_X, ORIGIN_Y = 712000.0, 1104000.0
LHC_SHARED_SHIFT = 0.004  # metres; LHCSnapDistance is 0.01

ROADS = (21, 25, 35, 350, 352, 353, 354, 10245, 10340, 10341, 10280, 10281, 10380, 10381)
RIDES = (22, 10325)
STREAMS = (26, 433)
CES_READ = (350, 352, 353, 354, 10245, 10280, 10281, 10325, 10340, 10341, 10380, 10381)


def _block_summary(lines=(), areas=(), points=(), texts=()):
    return {"lines": sum(1 for l in lines if not l.deleted),
            "deleted_lines": sum(1 for l in lines if l.deleted),
            "line_records": max((l.number for l in lines), default=0) + 1,
            "vertices": sum(len(l.pts) for l in lines),
            "areas": len(areas),
            "points": sum(1 for p in points if not p.deleted),
            "point_records": max((p.number for p in points), default=0) + 1,
            "texts": len(texts)}


def _length(pts):
    return sum(math.hypot(b[0] - a[0], b[1] - a[1]) for a, b in zip(pts, pts[1:]))


def _extracted(line_sets):
    """{name: [lines]} that the LHC read loads and each extraction picks (deleted ones are not read)."""
    picked = {"roads": [], "rides": [], "streams": []}
    for lines, readable in line_sets:
        for l in lines:
            if l.deleted or l.druh not in readable:
                continue
            for name, kinds in (("roads", ROADS), ("rides", RIDES), ("streams", STREAMS)):
                if l.druh in kinds:
                    picked[name].append(l)
    return picked


def generate(out, seed, size, lhc):
    gis = os.path.join(out, "GIS")
    if os.path.exists(gis):
        # Only a tree this generator wrote is replaced; real data stays untouched.
        if not os.path.isfile(os.path.join(out, "expected.json")):
            raise FileExistsError("%s exists and was not made by this generator; not overwritten" % gis)
        shutil.rmtree(gis)
    os.makedirs(gis)
    write_control_files(gis)
    write_ini(os.path.join(out, "TERGELIX.INI"))
    # The symbol directory C:\TTRIZENI: drive C: of the sample is `out`.
    write_symbols(os.path.join(out, "TTRIZENI"))
    lattice = Lattice(seed, ORIGIN_X, ORIGIN_Y)
    lhc_dir = os.path.join(gis, lhc)
    expected = {"seed": seed, "size": size, "lhc": lhc, "gis_root": "GIS",
                "ini": "TERGELIX.INI", "districts": {}}
    (w1, h1), (w2, h2) = SIZES[size]
    layout = (("01", 0, w1, h1), ("02", w1, w2, h2))
    first_compartment = 1
    line_sets = []
    rng = random.Random(seed)
    for code, col0, ncols, nrows in layout:
        # District 02 meets 01 along a column whose points it has 4 mm off:
        # closer than LHCSnapDistance, so that the LHC merge must snap them.
        seen = lattice if code == "01" else ShiftedColumn(lattice, col0, LHC_SHARED_SHIFT)
        district = District(code, seen, col0, 0, ncols, nrows, seed, first_compartment,
                            with_features=True)
        first_compartment = district.last_compartment + 1
        link_lines(district.lines)
        ddir = os.path.join(lhc_dir, code)
        det = os.path.join(ddir, "DET.BLK")
        points, texts = det_points_and_texts(district, rng)
        symbolize(district.lines, district.areas, points, texts)
        write_block(det, district.lines, district.areas, points, texts)
        write_det_table(det, district, lhc)
        for l in district.lines:
            if l.druh in SITUATION_KINDS:
                l.name = ROAD_NAMES[l.number % len(ROAD_NAMES)]
        write_line_tables(det, district.lines, SURFACES)
        write_point_tables(det, points)

        slu_lines, special = situation_lines(district, rng)
        link_lines(slu_lines)
        slu_points, slu_texts = situation_points_and_texts(district, slu_lines, rng)
        symbolize(slu_lines, (), slu_points, slu_texts)
        slu = os.path.join(ddir, "SLU.BLK")
        write_block(slu, slu_lines, (), slu_points, slu_texts)
        write_line_tables(slu, slu_lines, SURFACES)
        write_point_tables(slu, slu_points)

        cl = ces_lines(district, rng)
        link_lines(cl)
        symbolize(cl)
        ces = os.path.join(ddir, "CES.BLK")
        write_block(ces, cl)
        write_line_tables(ces, cl, SURFACES)
        line_sets += [(district.lines, SITUATION_KINDS), (slu_lines, SITUATION_KINDS), (cl, CES_READ)]

        total = sum(a.net for a in district.areas)
        expected["districts"][code] = {
            "directory": "%s/%s" % (lhc, code),
            "columns": ncols, "rows": nrows,
            "det_area_m2": round(total, 4),
            "det_area_ha": round(total / 1e4, 6),
            "compartments": len(district.compartments),
            "blocks": {
                "DET.BLK": dict(_block_summary(district.lines, district.areas, points, texts),
                                islands=len(district.islands),
                                fathers=sum(1 for a in district.areas if a.children),
                                nodes=link_lines(district.lines)),
                "SLU.BLK": _block_summary(slu_lines, (), slu_points, slu_texts),
                "CES.BLK": _block_summary(cl),
            },
            "special_lines": {name: ([l.number for l in v] if isinstance(v, tuple) else v.number)
                              for name, v in special.items()},
            "levels": expected_levels(district),
        }
        expected["districts"][code]["checks"] = expected_checks(district, expected["districts"][code]["levels"])
    lhc_roads = lhc_ces_lines(lattice, w1, min(h1, h2))
    link_lines(lhc_roads)
    write_block(os.path.join(lhc_dir, "CES.BLK"), lhc_roads)
    write_line_tables(os.path.join(lhc_dir, "CES.BLK"), lhc_roads, SURFACES)
    line_sets.append((lhc_roads, CES_READ))
    picked = _extracted(line_sets)
    expected["extractions"] = {name: len(lines) for name, lines in picked.items()}
    expected["extraction_lengths"] = {name: round(sum(_length(l.pts) for l in lines), 4)
                                      for name, lines in picked.items()}
    snaps = settings()["EXPORT"]
    water_snap, road_snap = float(snaps["MezPripojVod"]), float(snaps["MezPripojKom"])
    expected["networks"] = {
        "water": dict(noded_network([l.pts for l in picked["streams"]], water_snap), snap=snaps["MezPripojVod"]),
        "communication": dict(noded_network([l.pts for l in picked["roads"] + picked["rides"]], road_snap),
                              snap=snaps["MezPripojKom"]),
        "roads_alone": dict(noded_network([l.pts for l in picked["roads"]], road_snap), snap=snaps["MezPripojKom"]),
    }
    # What the LHC merge closes: the strip between district 01's edge and
    # district 02's copy of it, 4 mm to the east.
    shared_rows = min(h1, h2)
    expected["lhc_shared_gap_m2"] = round(
        LHC_SHARED_SHIFT * abs(lattice.point(w1, shared_rows)[1] - lattice.point(w1, 0)[1]), 4)
    expected["lhc_area_m2"] = round(sum(d["det_area_m2"] for d in expected["districts"].values()), 4)
    with open(os.path.join(out, "expected.json"), "w", encoding="utf-8") as fh:
        json.dump(expected, fh, indent=1 if size == "sample" else None, ensure_ascii=False,
                  sort_keys=True)
        fh.write("\n")
    return expected


def main(argv=None):
    parser = argparse.ArgumentParser(description="Generate a GIS data tree of forest districts.")
    parser.add_argument("--out", required=True, help="directory to write GIS/ and expected.json into")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--size", default="sample",
                        help="sample, large (about 100,000 boundary lines) or COLUMNSxROWS of "
                             "lattice cells (60 m) for the first district, optionally followed by "
                             ",COLUMNSxROWS for the second (default 12x9)")
    parser.add_argument("--lhc", default="4107", help="four-digit LHC code")
    args = parser.parse_args(argv)
    if len(args.lhc) != 4 or not args.lhc.isdigit():
        parser.error("--lhc must be four digits")
    if args.size not in SIZES:
        m = re.match(r"^(\d+)x(\d+)(?:,(\d+)x(\d+))?$", args.size)
        sizes = [int(v) for v in m.groups() if v is not None] if m else []
        if not sizes or min(sizes) < 8:
            parser.error("--size must be sample, large or COLUMNSxROWS[,COLUMNSxROWS] (at least 8x8)")
        second = (sizes[2], sizes[3]) if len(sizes) == 4 else SIZES["sample"][1]
        SIZES[args.size] = ((sizes[0], sizes[1]), second)
    started = time.time()
    try:
        expected = generate(args.out, args.seed, args.size, args.lhc)
    except FileExistsError as e:
        print("gendistrict: %s" % e, file=sys.stderr)
        return 1
    lines = sum(d["blocks"]["DET.BLK"]["lines"] for d in expected["districts"].values())
    print("%s: %d districts, %d boundary lines in DET blocks, %.1f s"
          % (os.path.join(args.out, "GIS"), len(expected["districts"]), lines, time.time() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main())
