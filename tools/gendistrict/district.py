"""The forest district as a planar partition: compartments, sub-compartments,
stand groups, islands, and the boundary lines between them.

The district covers a rectangle of lattice cells. Compartments are blocks of
cells, sub-compartments are strips of a compartment, stand groups are blocks
of a strip; each stand group is one area of the forest description (a few are
split into two areas of one group). Islands are rings inside one cell of a
group, not joined to anything else. Boundary lines run between nodes (points
where three or more lines meet, or where a line is deliberately broken), each
stored once with its left and right area.
"""
import math
import random

from model import Area, Line, line_share
from real48 import snap

# Kinds of the boundary lines.
KIND_DISTRICT = 94
KIND_COMPARTMENT = 13
KIND_SUBCOMPARTMENT = 14
KIND_STAND = 16
# Compartment lines that follow a road, ride or stream keep that kind.
VERTICAL_LINE_KINDS = (433, 21, 13, 25)
HORIZONTAL_LINE_KINDS = (22, 26, 35, 13)
MEANDER_KIND = 433

LINE_COLOURS = {94: 13, 13: 2, 14: 5, 16: 6, 21: 1, 22: 8, 25: 1, 26: 4, 35: 1, 433: 4}
LINE_SIGNS = {94: 1, 13: 0, 14: 0, 16: 0, 21: 3, 22: 7, 25: 3, 26: 5, 35: 3, 433: 5}

# Group classes and the first SKUPINA number of each (the default class limits).
STAND, NONFOREST, OTHER, REMAINING = "stand", "nonforest", "other", "remaining"
CLASS_BASE = {STAND: 1, NONFOREST: 101, OTHER: 501, REMAINING: 901}

# Compartments are blocks of 5 to 8 cells a side, larger where an LHC has more
# of them than ODDELENI (N 4) can number; sub-compartments are strips of two or
# three rows, each named by a letter (DILEC, C 1).
COMPARTMENT_SIDES = (5, 8)
ODDELENI_LIMIT = 9999
DIL_LETTERS = "abcdefghijklmnopqrstuvwxyz"


def compartment_sides(sizes):
    """The least compartment sides (low, high) at which the compartments of districts of
    these (columns, rows) are surely numbered within ODDELENI_LIMIT: a side of `low` or
    more cuts n cells into at most n // low compartments (one where n < low)."""
    low, high = COMPARTMENT_SIDES
    while sum(max(1, c // low) * max(1, r // low) for c, r in sizes) > ODDELENI_LIMIT:
        low += 1
        high += 1
    if high // 2 > len(DIL_LETTERS):
        raise ValueError("districts too large: compartments of %d cells have more strips than "
                         "DILEC has letters" % high)
    return low, high


ISLAND_STAND, ISLAND_NESTED, ISLAND_POND, SLIVER_SMALL, SLIVER_LARGE = range(5)


def _split(total, low, high, rng):
    """Cut total into parts of low..high (the last may be up to high + low - 1)."""
    parts = []
    left = total
    while left > high:
        p = rng.randint(low, high)
        if left - p < low:
            p = left - low
        parts.append(p)
        left -= p
    parts.append(left)
    return parts


class District:
    def __init__(self, code, lattice, col0, row0, ncols, nrows, seed, first_compartment,
                 with_features, compartment_sides=COMPARTMENT_SIDES):
        self.code = code
        self.lattice = lattice
        self.col0, self.row0, self.ncols, self.nrows = col0, row0, ncols, nrows
        self.rng = random.Random(seed * 7919 + int(code))
        self.areas = []
        self.lines = []
        self.groups = []          # (odd, dil, skupina, class, [areas])
        self.cell_area = {}
        self.compartments = []    # (odd, col range, row range)
        self.islands = []         # (kind of island, island area)
        self._used = {}           # (odd, dil) -> SKUPINA numbers taken
        self._sides = compartment_sides
        self._build_hierarchy(first_compartment)
        self._ensure_every_class()
        if with_features:
            self._enclose_nonforest()
        self._chain_lines()
        self._add_islands(with_features)
        self._number_and_measure()

    # -- hierarchy on the lattice -------------------------------------------------

    def _build_hierarchy(self, first_compartment):
        rng = self.rng
        odd = first_compartment - 1
        low, high = self._sides
        col_parts = _split(self.ncols, low, high, rng)
        row_parts = _split(self.nrows, low, high, rng)
        self.vertical_splits = []
        self.horizontal_splits = []
        c = self.col0
        for w in col_parts[:-1]:
            c += w
            self.vertical_splits.append(c)
        r = self.row0
        for h in row_parts[:-1]:
            r += h
            self.horizontal_splits.append(r)
        r = self.row0
        for h in row_parts:
            c = self.col0
            for w in col_parts:
                odd += 1
                self.compartments.append((odd, (c, c + w), (r, r + h)))
                self._build_compartment(odd, c, r, w, h)
                c += w
            r += h
        self.last_compartment = odd

    def _build_compartment(self, odd, c0, r0, w, h):
        rng = self.rng
        strips = _split(h, 2, 3, rng) if h >= 4 else [h]
        r = r0
        for k, sh in enumerate(strips):
            dil = DIL_LETTERS[k]
            counters = dict(CLASS_BASE)
            porost = 0
            c = c0
            for pw in _split(w, 2, 3, rng) if w >= 4 else [w]:
                pieces = [(r, sh)]
                if sh >= 4 and rng.random() < 0.4:
                    lower = sh // 2
                    pieces = [(r, lower), (r + lower, sh - lower)]
                for pr, ph in pieces:
                    u = rng.random()
                    cls = STAND if u < 0.76 else NONFOREST if u < 0.88 else OTHER if u < 0.95 else REMAINING
                    skupina = str(counters[cls])
                    counters[cls] += 1
                    porost += 1
                    cells = [(i, j) for j in range(pr, pr + ph) for i in range(c, c + pw)]
                    split = cls == STAND and len(cells) >= 6 and rng.random() < 0.15
                    self._add_group(odd, dil, skupina, cls, str(porost), cells, split)
                c += pw
            r += sh

    def _take(self, odd, dil, cls):
        used = self._used.setdefault((odd, dil), set())
        n = CLASS_BASE[cls]
        while n in used:
            n += 1
        used.add(n)
        return str(n)

    def _add_group(self, odd, dil, skupina, cls, porost, cells, split):
        self._used.setdefault((odd, dil), set()).add(int(skupina))
        if split:
            # One stand group kept as two areas of different stands: the line
            # between them belongs to no unit of the hierarchy.
            cols = sorted({i for i, _ in cells})
            rows = sorted({j for _, j in cells})
            if len(cols) >= len(rows):
                cut = cols[len(cols) // 2]
                halves = ([p for p in cells if p[0] < cut], [p for p in cells if p[0] >= cut])
            else:
                cut = rows[len(rows) // 2]
                halves = ([p for p in cells if p[1] < cut], [p for p in cells if p[1] >= cut])
            members = [Area(odd, dil, skupina, porost), Area(odd, dil, skupina, porost + "1")]
            for area, part in zip(members, halves):
                area.cells = part
        else:
            members = [Area(odd, dil, skupina, porost)]
            members[0].cells = cells
        for area in members:
            area.note = cls
            self.areas.append(area)
            for cell in area.cells:
                self.cell_area[cell] = area
        self.groups.append([odd, dil, skupina, cls, members])

    def _set_class(self, group, cls):
        skupina = self._take(group[0], group[1], cls)
        group[2] = skupina
        group[3] = cls
        for area in group[4]:
            area.skupina = skupina
            area.note = cls

    def _ensure_every_class(self):
        present = {g[3] for g in self.groups}
        candidates = [g for g in self.groups if g[3] == STAND and len(g[4]) == 1]
        for cls in (NONFOREST, OTHER, REMAINING):
            if cls not in present and candidates:
                self._set_class(candidates.pop(self.rng.randrange(len(candidates))), cls)

    def _neighbours(self, area):
        out = set()
        for i, j in area.cells:
            for c in ((i + 1, j), (i - 1, j), (i, j + 1), (i, j - 1)):
                other = self.cell_area.get(c)
                if other is not area:
                    out.add(other)
        return out

    def _enclose_nonforest(self):
        """Make sure one non-forest group lies wholly among stands."""
        def enclosed(group):
            return all(n is not None and n.note == STAND for a in group[4] for n in self._neighbours(a))
        if any(g[3] == NONFOREST and enclosed(g) for g in self.groups):
            return
        for g in self.groups:
            if g[3] == STAND and len(g[4]) == 1 and enclosed(g):
                self._set_class(g, NONFOREST)
                return

    # -- boundary lines -----------------------------------------------------------

    def _side_areas(self, p, q):
        """(left, right) area of the lattice edge walked from p to q."""
        (i, j), (k, l) = p, q
        get = self.cell_area.get
        if k == i + 1:
            return get((i, j - 1)), get((i, j))
        if k == i - 1:
            return get((k, j)), get((k, j - 1))
        if l == j + 1:
            return get((i, j)), get((i - 1, j))
        return get((i - 1, l)), get((i, l))

    def _edge_kind(self, p, q, left, right):
        if left is None or right is None:
            return KIND_DISTRICT
        if left.odd != right.odd:
            if p[0] == q[0] and p[0] in self.vertical_splits:
                return VERTICAL_LINE_KINDS[self.vertical_splits.index(p[0]) % len(VERTICAL_LINE_KINDS)]
            if p[1] == q[1] and p[1] in self.horizontal_splits:
                return HORIZONTAL_LINE_KINDS[self.horizontal_splits.index(p[1]) % len(HORIZONTAL_LINE_KINDS)]
            return KIND_COMPARTMENT
        if left.dil != right.dil:
            return KIND_SUBCOMPARTMENT
        return KIND_STAND

    def _boundary_edges(self):
        """Adjacency of lattice points along edges that separate two areas."""
        adj = {}
        get = self.cell_area.get
        c0, c1 = self.col0, self.col0 + self.ncols
        r0, r1 = self.row0, self.row0 + self.nrows
        for j in range(r0, r1 + 1):
            for i in range(c0, c1):
                if get((i, j - 1)) is not get((i, j)):
                    adj.setdefault((i, j), []).append((i + 1, j))
                    adj.setdefault((i + 1, j), []).append((i, j))
        for i in range(c0, c1 + 1):
            for j in range(r0, r1):
                if get((i - 1, j)) is not get((i, j)):
                    adj.setdefault((i, j), []).append((i, j + 1))
                    adj.setdefault((i, j + 1), []).append((i, j))
        return adj

    def _chain_lines(self):
        adj = self._boundary_edges()
        kinds = {}
        for p, qs in adj.items():
            for q in qs:
                if (q, p) not in kinds:
                    left, right = self._side_areas(p, q)
                    kinds[(p, q)] = kinds[(q, p)] = self._edge_kind(p, q, left, right)
        # The winding stream runs along the compartment line of its kind.
        # Only the first of them: a few such lines are enough, and they are long.
        first = self.vertical_splits[:1]
        for (p, q), kind in kinds.items():
            if kind == MEANDER_KIND and p < q and p[0] == q[0] and p[0] in first:
                self.lattice.meander_edges.add((p[0], p[1], False))

        def is_node(p):
            qs = adj[p]
            return len(qs) != 2 or kinds[(p, qs[0])] != kinds[(p, qs[1])]

        used = set()
        chains = []
        for p in sorted(adj):
            if not is_node(p):
                continue
            for q in adj[p]:
                if (p, q) in used:
                    continue
                chain = [p, q]
                used.add((p, q))
                used.add((q, p))
                while not is_node(chain[-1]):
                    a, b = adj[chain[-1]]
                    nxt = a if a != chain[-2] else b
                    used.add((chain[-1], nxt))
                    used.add((nxt, chain[-1]))
                    chain.append(nxt)
                chains.append(chain)
        # Rings with no node on them (none in a lattice layout, kept for safety).
        for p in sorted(adj):
            for q in adj[p]:
                if (p, q) not in used:
                    chain = [p, q]
                    used.add((p, q))
                    used.add((q, p))
                    while chain[-1] != p:
                        a, b = adj[chain[-1]]
                        nxt = a if a != chain[-2] else b
                        used.add((chain[-1], nxt))
                        used.add((nxt, chain[-1]))
                        chain.append(nxt)
                    chains.append(chain)
        chains = self._break_some(chains, kinds)
        for chain, kind in chains:
            if self.rng.random() < 0.5:
                chain = chain[::-1]
            left, right = self._side_areas(chain[0], chain[1])
            line = Line(kind, self._chain_vertices(chain), left, right)
            line.barva = LINE_COLOURS[kind]
            line.znacka = LINE_SIGNS[kind]
            self.lines.append(line)

    def _break_some(self, chains, kinds):
        """Break a few long chains at a lattice point: pseudo-nodes of equal and of different kinds."""
        out = []
        equal_done = different_done = False
        for chain in chains:
            kind = kinds[(chain[0], chain[1])]
            if len(chain) >= 3:
                u = self.rng.random()
                if not equal_done or u < 0.03:
                    equal_done = True
                    s = len(chain) // 2
                    out.append((chain[:s + 1], kind))
                    out.append((chain[s:], kind))
                    continue
                if (not different_done or u < 0.05) and kind in (KIND_COMPARTMENT, KIND_SUBCOMPARTMENT):
                    different_done = True
                    s = len(chain) // 2
                    out.append((chain[:s + 1], kind))
                    # The boundary turns into a path half way along.
                    out.append((chain[s:], 21 if kind == KIND_COMPARTMENT else 22))
                    continue
            out.append((chain, kind))
        return out

    def _chain_vertices(self, chain):
        lat = self.lattice
        pts = [lat.point(*chain[0])]
        for p, q in zip(chain, chain[1:]):
            if q[0] == p[0] + 1:
                pts.extend(lat.edge_inner(p[0], p[1], True))
            elif q[0] == p[0] - 1:
                pts.extend(reversed(lat.edge_inner(q[0], q[1], True)))
            elif q[1] == p[1] + 1:
                pts.extend(lat.edge_inner(p[0], p[1], False))
            else:
                pts.extend(reversed(lat.edge_inner(q[0], q[1], False)))
            pts.append(lat.point(*q))
        return pts

    # -- islands ------------------------------------------------------------------

    def _add_islands(self, with_features):
        rng = self.rng
        hosts = [a for a in self.areas if a.note == STAND and len(a.cells) >= 2]
        rng.shuffle(hosts)
        plan = []
        if with_features:
            plan = [ISLAND_STAND, ISLAND_POND, SLIVER_SMALL, SLIVER_LARGE]
        # Larger districts get an island in about one stand in forty.
        extra = max(0, len(hosts) // 40 - len(plan))
        plan += [rng.choice((ISLAND_STAND, ISLAND_POND)) for _ in range(extra)]
        for kind, host in zip(plan, hosts):
            cell = host.cells[-1]
            host_label_cell = host.cells[0]
            cx, cy = self.lattice.cell_centre(*cell)
            if kind == ISLAND_STAND:
                island = self._island(host, STAND, self._polygon(cx, cy, 11.0, 8), lines=2)
                pond = self._island(island, NONFOREST, self._polygon(cx, cy, 3.5, 6), lines=1)
                island.label = (snap(cx + 6.5), snap(cy))
                pond.label = (snap(cx), snap(cy))
                self.islands.append((ISLAND_STAND, island))
                self.islands.append((ISLAND_NESTED, pond))
            elif kind == ISLAND_POND:
                pond = self._island(host, NONFOREST, self._polygon(cx, cy, 9.0, 7), lines=3)
                pond.label = (snap(cx), snap(cy))
                self.islands.append((ISLAND_POND, pond))
            else:
                length = 19.8 if kind == SLIVER_SMALL else 20.2
                x0, y0 = snap(cx - length / 2), snap(cy)
                x1, y1 = snap(cx + length / 2), snap(cy + 0.5)
                ring = [(x0, y0), (x0, y1), (x1, y1), (x1, y0)]
                sliver = self._island(host, STAND, ring, lines=1)
                sliver.label = (snap(cx), snap(cy + 0.25))
                self.islands.append((kind, sliver))
            host.label = self.lattice.cell_centre(*host_label_cell)

    def _polygon(self, cx, cy, radius, n):
        """A clockwise ring of n vertices around (cx, cy)."""
        pts = []
        for k in range(n):
            a = -2.0 * math.pi * k / n
            r = radius * (0.85 + 0.3 * self.rng.random())
            pts.append((snap(cx + r * math.cos(a)), snap(cy + r * math.sin(a))))
        return pts

    def _island(self, father, cls, ring, lines):
        odd, dil = father.odd, father.dil
        skupina = self._take(odd, dil, cls)
        area = Area(odd, dil, skupina, skupina)
        area.note = cls
        area.father = father
        father.children.append(area)
        self.areas.append(area)
        self.groups.append([odd, dil, skupina, cls, [area]])
        # The ring is clockwise, so the island is each line's left area.
        cuts = [round(k * len(ring) / lines) for k in range(lines)] + [len(ring)]
        closed = ring + [ring[0]]
        for a, b in zip(cuts, cuts[1:]):
            line = Line(KIND_STAND, closed[a:b + 1], area, father)
            line.barva = LINE_COLOURS[KIND_STAND]
            self.lines.append(line)
        return area

    # -- numbers, areas and labels ------------------------------------------------

    def _number_and_measure(self):
        # Real blocks are numbered in the order of digitising, not by layout:
        # shuffle, so that readers do not come to rely on any order.
        self.rng.shuffle(self.areas)
        self.rng.shuffle(self.lines)
        for n, area in enumerate(self.areas, 1):
            area.number = n
            area.net = 0.0
            area.line_no = 0
            area.bbox = None
        for n, line in enumerate(self.lines, 1):
            line.number = n
            share = line_share(line.pts)
            xs = [p[0] for p in line.pts]
            ys = [p[1] for p in line.pts]
            box = (min(xs), min(ys), max(xs), max(ys))
            for area, sign in ((line.left, 1.0), (line.right, -1.0)):
                if area is None:
                    continue
                area.net += sign * share
                old = area.bbox
                area.bbox = box if old is None else (
                    min(old[0], box[0]), min(old[1], box[1]), max(old[2], box[2]), max(old[3], box[3]))
                # LineNo starts the walk of the outer ring, so it must not be
                # the boundary of one of the area's islands.
                island_edge = area is line.right and line.left is not None and line.left.father is area
                if not area.line_no and not island_edge:
                    area.line_no = n
        for area in self.areas:
            area.whole = self._whole_of(area)
            if area.label is None:
                area.label = self.lattice.cell_centre(*area.cells[0])

    @staticmethod
    def _whole_of(area):
        return area.net + sum(District._whole_of(c) for c in area.children)
