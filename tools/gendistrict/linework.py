"""Line, point and text content of the blocks besides the area partition.

SLU.BLK holds the situation lines (roads, rides and streams), CES.BLK the
forest roads of the road survey, both drawn on the vertices of the stand
boundaries where they follow them. The awkward cases that noding has to cope
with live here: a dangling ride, ends that nearly meet, pseudo-nodes, a
deleted record.
"""
from model import Line, Point, Text
from district import STAND
from real48 import snap

SITUATION_KINDS = (21, 22, 25, 26, 35, 433)
CES_KINDS = (350, 352, 353, 354, 10245, 10280, 10281, 10325, 10340, 10341, 10380, 10381)

ROAD_NAMES = ("Lesní cesta Pod Hůrkou", "Svážnice U Tří buků", "Cesta na Žďárek",
              "Průsek Kamenný", "Potok Bystřice", "Říčka Loučná", "Stezka Na Příčce",
              "Čertova cesta", "Hájenská cesta", "Olšový potok", "Potok Stěnava")
PLACE_NAMES = ("Hájovna Žďárek", "Černý les", "U Křížku", "Úvoz pod Skalkou", "Ořechová stráň",
               "Šumný důl pod Sněžníkem", "Bučina nad Říčkou", "Jedlový vrch", "Malé Lučiny")
SURFACES = ("živice", "štěrk", "zemní", "panely")

def _copy(line, druh=None):
    out = Line(druh or line.druh, list(line.pts))
    out.barva = line.barva
    out.znacka = line.znacka
    return out


def _apart(base, gap, at_least):
    """base + gap as stored, nudged so that the stored gap is below / not below 1e-4."""
    value = snap(base + gap)
    step = 2e-6 if abs(base) >= 1048576 else 1e-6
    while at_least and abs(value - base) < 1e-4:
        value = snap(value + step)
    while not at_least and abs(value - base) >= 1e-4:
        value = snap(value - step)
    return value


def situation_lines(district, rng):
    """Lines of SLU.BLK; also returns the named special cases for the checks."""
    lines = [_copy(l) for l in district.lines if l.druh in SITUATION_KINDS]
    # Paths and brooks that run along stand boundaries, so that every
    # situation kind occurs whatever the compartment lines turned out to be.
    along = [l for l in district.lines if l.druh == 16][:4]
    lines += [_copy(l, kind) for l, kind in zip(along, (35, 35, 26, 26))]
    special = {}
    # Islands sit in the last cell of their host, so the first cells are free.
    stands = [a for a in district.areas if a.note == STAND and a.cells]
    stands += stands[:6]
    lat = district.lattice

    # A ride that leaves a boundary vertex and ends in the middle of a stand.
    a = stands[0]
    start = lat.point(*a.cells[0])
    end = lat.cell_centre(*a.cells[0])
    mid = (snap((start[0] + end[0]) / 2 + 1.5), snap((start[1] + end[1]) / 2 - 1.5))
    ride = Line(22, [start, mid, (snap(end[0]), snap(end[1]))])
    ride.barva, ride.znacka, ride.symbol = 8, 7, 1005
    lines.append(ride)
    special["dangling"] = ride

    # Two streams whose ends are 0.00009 m apart in X and Y (one node), and
    # two roads whose ends are 0.0001 m apart in X (two nodes).
    cx, cy = lat.cell_centre(*stands[1].cells[0])
    gx, gy = snap(cx), snap(cy - 8.0)
    s1 = Line(26, [(snap(cx - 12.0), snap(cy - 11.0)), (snap(cx - 6.0), snap(cy - 9.5)), (gx, gy)])
    s2 = Line(26, [(_apart(gx, 0.00009, False), _apart(gy, 0.00009, False)),
                   (snap(cx + 6.0), snap(cy - 6.0)), (snap(cx + 12.0), snap(cy - 7.0))])
    cx, cy = lat.cell_centre(*stands[2].cells[0])
    hx, hy = snap(cx), snap(cy + 6.0)
    r1 = Line(21, [(snap(cx - 12.0), snap(cy + 4.0)), (hx, hy)])
    r2 = Line(21, [(_apart(hx, 0.0001, True), hy), (snap(cx + 12.0), snap(cy + 9.0))])
    # A road that changes kind at a pseudo-node.
    cx, cy = lat.cell_centre(*stands[3].cells[0])
    px, py = snap(cx), snap(cy)
    r3 = Line(21, [(snap(cx - 12.0), snap(cy - 3.0)), (px, py)])
    r4 = Line(25, [(px, py), (snap(cx + 12.0), snap(cy + 2.0))])
    for l in (s1, s2):
        l.barva, l.znacka = 4, 5
    for l in (r1, r2, r3, r4):
        l.barva, l.znacka = 1, 3
    lines += [s1, s2, r1, r2, r3, r4]
    special.update(near_0_00009=(s1, s2), apart_0_0001=(r1, r2), kind_change=(r3, r4))

    # For the noding of the networks (snap distance 1 m in TERGELIX.INI):
    # stream ends 0.6 m apart, which meet, and 1.3 m apart, which do not; a
    # stream crossing a road, which neither network cuts; and a road made of
    # four pieces end to end, whose pseudo-nodes the noding keeps.
    cx, cy = lat.cell_centre(*stands[4].cells[0])
    s3 = Line(26, [(snap(cx - 14.0), snap(cy - 10.0)), (snap(cx - 4.0), snap(cy - 2.0))])
    s4 = Line(26, [(snap(cx - 3.4), snap(cy - 2.0)), (snap(cx + 6.0), snap(cy + 4.0))])
    s5 = Line(433, [(snap(cx + 7.3), snap(cy + 4.0)), (snap(cx + 14.0), snap(cy + 12.0))])
    crossing = Line(21, [(snap(cx - 14.0), snap(cy + 8.0)), (snap(cx + 14.0), snap(cy - 9.0))])
    cx, cy = lat.cell_centre(*stands[5].cells[0])
    chain = [(snap(cx - 16.0 + 8.0 * k), snap(cy + (3.0 if k % 2 else -3.0))) for k in range(5)]
    pieces = [Line(25 if k % 2 else 21, [chain[k], chain[k + 1]]) for k in range(4)]
    for l in (s3, s4, s5):
        l.barva, l.znacka = 4, 5
    for l in [crossing] + pieces:
        l.barva, l.znacka = 1, 3
    lines += [s3, s4, s5, crossing] + pieces
    special.update(snapped_0_6=(s3, s4), apart_1_3=(s4, s5), stream_over_road=(s3, crossing),
                   pseudo_node_chain=tuple(pieces))

    # A line deleted in the editor: its record stays with the deleted flag.
    gone = _copy(r1)
    gone.deleted = True
    lines.append(gone)
    special["deleted"] = gone

    rng.shuffle(lines)
    for n, l in enumerate(lines, 1):
        l.number = n
        if l.druh in SITUATION_KINDS:
            l.name = ROAD_NAMES[rng.randrange(len(ROAD_NAMES))]
    return lines, special


def ces_lines(district, rng):
    """Forest roads of the road survey along sub-compartment lines and across stands."""
    lines = []
    k = 0
    for l in district.lines:
        if l.druh == 14 and rng.random() < 0.35:
            lines.append(_copy(l, CES_KINDS[k % len(CES_KINDS)]))
            k += 1
    lat = district.lattice
    for a in [a for a in district.areas if a.note == STAND and len(a.cells) >= 4][:3]:
        i, j = a.cells[0]
        c = lat.cell_centre(i, j)
        lines.append(Line(CES_KINDS[k % len(CES_KINDS)],
                          [lat.point(i, j), (snap(c[0]), snap(c[1])), lat.point(i + 1, j + 1)]))
        k += 1
    for n, l in enumerate(lines, 1):
        l.number = n
        l.barva, l.znacka = 1, 2
        l.name = ROAD_NAMES[rng.randrange(len(ROAD_NAMES))]
    return lines


def lhc_ces_lines(lattice, column, rows):
    """A road of the whole LHC along the line where two districts meet."""
    pts = [lattice.point(column, 0)]
    for j in range(rows):
        pts.extend(lattice.edge_inner(column, j, False))
        pts.append(lattice.point(column, j + 1))
    line = Line(350, pts)
    line.number = 1
    line.barva, line.znacka = 1, 2
    line.name = "Hřebenová cesta"
    return [line]


def det_points_and_texts(district, rng):
    lat = district.lattice
    points = []
    for i in district.vertical_splits:
        for j in district.horizontal_splits:
            x, y = lat.point(i, j)
            points.append(Point(501, x, y, "Hraniční kámen %d/%d" % (i, j)))
    x, y = lat.cell_centre(district.col0, district.row0)
    points.append(Point(502, snap(x + 5.0), snap(y + 5.0), "Trigonometrický bod Křemešník"))
    for n, p in enumerate(points, 1):
        p.number = n
    texts = []
    for odd, (c0, c1), (r0, r1) in district.compartments:
        x, y = lat.cell_centre((c0 + c1) // 2, (r0 + r1) // 2)
        texts.append(Text(1, snap(x), snap(y + 10.0), str(odd), height=8.0))
    for area in district.areas:
        if area.father is None:
            x, y = area.label
            texts.append(Text(3, snap(x), snap(y - 4.0), "%d%s%s" % (area.odd, area.dil, area.skupina)))
    for k, name in enumerate(PLACE_NAMES):
        a = district.areas[(k * 7) % len(district.areas)]
        x, y = a.label
        t = Text(10, snap(x - 10.0), snap(y + 3.0), name, height=4.0, direction=0.3 * (k % 3))
        t.slope = 15.0 if k % 2 else 0.0
        texts.append(t)
    for n, t in enumerate(texts, 1):
        t.number = n
    return points, texts


def situation_points_and_texts(district, lines, rng):
    points = []
    for l in lines[:6]:
        if not l.deleted:
            x, y = l.pts[0]
            points.append(Point(510, x, y, "Propustek u cesty"))
    gone = Point(510, points[0].x, points[0].y, "Zrušený propustek")
    gone.deleted = True
    points.append(gone)
    for n, p in enumerate(points, 1):
        p.number = n
    texts = []
    for l in lines:
        if l.name and not l.deleted and len(texts) < 12:
            x, y = l.pts[len(l.pts) // 2]
            texts.append(Text(20, x, y, l.name, height=3.5, direction=0.5))
    for n, t in enumerate(texts, 1):
        t.number = n
    return points, texts
