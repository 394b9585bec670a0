#!/usr/bin/env python3
"""Generate a GIS data tree of forest districts in the Gelix block format.

    gendistrict.py --out DIR [--seed N] [--size sample|large|million|COLSxROWS[*N][,...]] [--lhc CODE]

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
from district import District, compartment_sides     # noqa: E402
from expected import expected_checks, expected_levels                   # noqa: E402
from ini import settings, write_ini                              # noqa: E402
from lattice import Lattice, ShiftedColumn                            # noqa: E402
from linework import (ROAD_NAMES, SITUATION_KINDS, SURFACES, ces_lines, det_points_and_texts,  # noqa: E402
                      lhc_ces_lines, situation_lines, situation_points_and_texts)
from networks import noded_network                  # noqa: E402
from model import link_lines                           # noqa: E402
from symbology import symbolize, write_symbols         # noqa: E402
from tables import write_det_table, write_line_tables, write_point_tables  # noqa: E402

# Lattice columns and rows of each district (01, 02, ...), laid out side by side.
SIZES = {
    "sample": ((16, 12), (12, 9)),
    "large": ((470, 460), (12, 9)),
    # About a million boundary lines in one LHC: each district's DET block stays
    # far below the 500,000 objects a block register numbers.
    "million": ((470, 460),) * 10,
}
SECOND_DISTRICT = SIZES["sample"][1]
MAX_DISTRICTS = 99  # the district codes are two digits
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


def _extract(picked, lines, readable):
    """Adds to picked ({name: [vertex lists]}) the lines the LHC read loads of a block and
    each extraction picks (deleted ones are not read). Only the vertices are kept, so that
    a district's objects can go once it is written."""
    for l in lines:
        if l.deleted or l.druh not in readable:
            continue
        for name, kinds in (("roads", ROADS), ("rides", RIDES), ("streams", STREAMS)):
            if l.druh in kinds:
                picked[name].append(l.pts)


def _json(value, indent=None):
    return json.dumps(value, indent=indent, ensure_ascii=False, sort_keys=True)


def _write_expected(path, expected, district_texts):
    """expected.json without indentation, the districts' entries already encoded: one
    district's levels take hundreds of megabytes as objects, a tenth of that as text."""
    placeholder = '"districts": {}'
    text = _json(dict(expected, districts={}))
    assert text.count(placeholder) == 1
    districts = ", ".join("%s: %s" % (_json(code), district_texts[code]) for code in sorted(district_texts))
    with open(path, "w", encoding="utf-8") as fh:
        fh.write(text.replace(placeholder, '"districts": {%s}' % districts))
        fh.write("\n")


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
    sizes = SIZES[size]
    (w1, h1), (_, h2) = sizes[:2]
    layout = []
    col0 = 0
    for k, (ncols, nrows) in enumerate(sizes):
        layout.append(("%02d" % (k + 1), col0, ncols, nrows))
        col0 += ncols
    sides = compartment_sides(sizes)
    first_compartment = 1
    picked = {"roads": [], "rides": [], "streams": []}
    # The sample's expected.json is indented for reading; the others are
    # written from the districts' entries encoded as each district is done.
    indented = size == "sample"
    district_texts = {}
    rng = random.Random(seed)
    for code, col0, ncols, nrows in layout:
        # Each district after the first meets its western neighbour along a
        # column whose points it has 4 mm off: closer than LHCSnapDistance, so
        # that the LHC merge must snap them.
        seen = lattice if code == "01" else ShiftedColumn(lattice, col0, LHC_SHARED_SHIFT)
        district = District(code, seen, col0, 0, ncols, nrows, seed, first_compartment,
                            with_features=True, compartment_sides=sides)
        first_compartment = district.last_compartment + 1
        det_nodes = link_lines(district.lines)
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
        for lines, readable in ((district.lines, SITUATION_KINDS), (slu_lines, SITUATION_KINDS), (cl, CES_READ)):
            _extract(picked, lines, readable)

        total = sum(a.net for a in district.areas)
        entry = {
            "directory": "%s/%s" % (lhc, code),
            "columns": ncols, "rows": nrows,
            "det_area_m2": round(total, 4),
            "det_area_ha": round(total / 1e4, 6),
            "compartments": len(district.compartments),
            "blocks": {
                "DET.BLK": dict(_block_summary(district.lines, district.areas, points, texts),
                                islands=len(district.islands),
                                fathers=sum(1 for a in district.areas if a.children),
                                nodes=det_nodes),
                "SLU.BLK": _block_summary(slu_lines, (), slu_points, slu_texts),
                "CES.BLK": _block_summary(cl),
            },
            "special_lines": {name: ([l.number for l in v] if isinstance(v, tuple) else v.number)
                              for name, v in special.items()},
            "levels": expected_levels(district),
        }
        entry["checks"] = expected_checks(district, entry["levels"])
        if indented:
            expected["districts"][code] = entry
        else:
            district_texts[code] = _json(entry)
            expected["districts"][code] = {"det_area_m2": entry["det_area_m2"], "blocks": entry["blocks"]}
    lhc_roads = lhc_ces_lines(lattice, w1, min(h1, h2))
    link_lines(lhc_roads)
    write_block(os.path.join(lhc_dir, "CES.BLK"), lhc_roads)
    write_line_tables(os.path.join(lhc_dir, "CES.BLK"), lhc_roads, SURFACES)
    _extract(picked, lhc_roads, CES_READ)
    expected["extractions"] = {name: len(lines) for name, lines in picked.items()}
    expected["extraction_lengths"] = {name: round(sum(_length(pts) for pts in lines), 4)
                                      for name, lines in picked.items()}
    snaps = settings()["EXPORT"]
    water_snap, road_snap = float(snaps["MezPripojVod"]), float(snaps["MezPripojKom"])
    expected["networks"] = {
        "water": dict(noded_network(picked["streams"], water_snap), snap=snaps["MezPripojVod"]),
        "communication": dict(noded_network(picked["roads"] + picked["rides"], road_snap),
                              snap=snaps["MezPripojKom"]),
        "roads_alone": dict(noded_network(picked["roads"], road_snap), snap=snaps["MezPripojKom"]),
    }
    # What the LHC merge closes: the strips between each district's eastern
    # edge and its neighbour's copy of it, 4 mm to the east.
    gap = 0.0
    for (_, _, _, west_rows), (_, col0, _, nrows) in zip(layout, layout[1:]):
        shared_rows = min(west_rows, nrows)
        gap += LHC_SHARED_SHIFT * abs(lattice.point(col0, shared_rows)[1] - lattice.point(col0, 0)[1])
    expected["lhc_shared_gap_m2"] = round(gap, 4)
    expected["lhc_area_m2"] = round(sum(d["det_area_m2"] for d in expected["districts"].values()), 4)
    path = os.path.join(out, "expected.json")
    if indented:
        with open(path, "w", encoding="utf-8") as fh:
            fh.write(_json(expected, indent=1))
            fh.write("\n")
    else:
        _write_expected(path, expected, district_texts)
    return expected


def _parse_sizes(text):
    """[(columns, rows)] of "COLSxROWS[*N][,...]", or [] when the text is not of that form."""
    sizes = []
    for part in text.split(","):
        m = re.match(r"^(\d+)x(\d+)(?:\*(\d+))?$", part)
        if not m:
            return []
        sizes += [(int(m.group(1)), int(m.group(2)))] * int(m.group(3) or 1)
    return sizes


def main(argv=None):
    parser = argparse.ArgumentParser(description="Generate a GIS data tree of forest districts.")
    parser.add_argument("--out", required=True, help="directory to write GIS/ and expected.json into")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--size", default="sample",
                        help="sample, large (about 100,000 boundary lines), million (about "
                             "1,000,000 in ten districts) or COLUMNSxROWS of lattice cells (60 m) "
                             "for district 01, optionally followed by ,COLUMNSxROWS for each next "
                             "district (else 02 is 12x9); COLUMNSxROWS*N stands for N districts")
    parser.add_argument("--lhc", default="4107", help="four-digit LHC code")
    args = parser.parse_args(argv)
    if len(args.lhc) != 4 or not args.lhc.isdigit():
        parser.error("--lhc must be four digits")
    if args.size not in SIZES:
        sizes = _parse_sizes(args.size)
        if not sizes or min(min(s) for s in sizes) < 8 or len(sizes) > MAX_DISTRICTS:
            parser.error("--size must be sample, large, million or COLUMNSxROWS[*N][,...] "
                         "(at least 8x8, at most %d districts)" % MAX_DISTRICTS)
        SIZES[args.size] = tuple(sizes) if len(sizes) > 1 else (sizes[0], SECOND_DISTRICT)
    try:
        compartment_sides(SIZES[args.size])
    except ValueError as e:
        parser.error(str(e))
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
