"""What the noding of a line network must give, worked out from the geometry
alone: segments not longer than the snap distance go, ends within the snap distance of another line's end meet there, ends
within it of another line's segment meet on that segment (on its vertex when
that is near enough), every line is cut
where another line crosses it, ends on it or shares one of its vertices, and
lines lying on one another count once. The result is counted as the pieces
between those points (lines), the distinct points where pieces end (nodes)
and the total length. Pseudo-nodes stay: the noding jobs do not join lines.
"""
import math


def _dist(a, b):
    return math.hypot(a[0] - b[0], a[1] - b[1])


def _project(p, a, b):
    """Nearest point to p on segment ab and its distance."""
    dx, dy = b[0] - a[0], b[1] - a[1]
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / length2))
    q = (a[0] + t * dx, a[1] + t * dy)
    return q, _dist(p, q)


def _crossing(a, b, c, d):
    """The point where segments ab and cd cross inside both, or None."""
    r = (b[0] - a[0], b[1] - a[1])
    s = (d[0] - c[0], d[1] - c[1])
    den = r[0] * s[1] - r[1] * s[0]
    if den == 0:
        return None
    t = ((c[0] - a[0]) * s[1] - (c[1] - a[1]) * s[0]) / den
    u = ((c[0] - a[0]) * r[1] - (c[1] - a[1]) * r[0]) / den
    eps = 1e-9
    if eps < t < 1 - eps and eps < u < 1 - eps:
        return (a[0] + t * r[0], a[1] + t * r[1])
    return None


class _Grid:
    """Segments by the cells of a square grid, for the few near each query."""

    def __init__(self, cell):
        self.cell = cell
        self.cells = {}

    def _span(self, a, b, pad):
        c = self.cell
        return (range(int(math.floor((min(a[0], b[0]) - pad) / c)), int(math.floor((max(a[0], b[0]) + pad) / c)) + 1),
                range(int(math.floor((min(a[1], b[1]) - pad) / c)), int(math.floor((max(a[1], b[1]) + pad) / c)) + 1))

    def add(self, item, a, b):
        xs, ys = self._span(a, b, 0)
        for i in xs:
            for j in ys:
                self.cells.setdefault((i, j), []).append(item)

    def near(self, a, b, pad):
        found = set()
        xs, ys = self._span(a, b, pad)
        for i in xs:
            for j in ys:
                found.update(self.cells.get((i, j), ()))
        return found


def _drop_short_segments(line, tolerance):
    """A segment not longer than the snap distance goes with its begin vertex, and
    the walk goes on at the same place: digitising jitter is not a junction."""
    pts = list(line)
    i = 0
    while i < len(pts) - 1:
        a, b = pts[i], pts[i + 1]
        dx, dy = abs(b[0] - a[0]), abs(b[1] - a[1])
        if a == b or (tolerance > 0 and dx <= tolerance and dy <= tolerance and _dist(a, b) <= tolerance):
            del pts[i]
        else:
            i += 1
    return pts


def _snap_ends(polylines, snap):
    """Ends near another line's end move onto it; the others near a segment move onto the segment."""
    if snap <= 0:
        return polylines
    lines = [list(p) for p in polylines]
    ends = [(k, i) for k in range(len(lines)) for i in (0, -1)]
    end_grid = _Grid(max(snap, 1.0) * 4)
    for n, (k, i) in enumerate(ends):
        end_grid.add(n, lines[k][i], lines[k][i])
    for k, i in ends:
        p = lines[k][i]
        best, target = snap, None
        for n in end_grid.near(p, p, snap):
            m, j = ends[n]
            if m == k:
                continue
            q = lines[m][j]
            d = _dist(p, q)
            if 0 < d <= best:
                best, target = d, q
        if target is not None:
            lines[k][i] = target
    at_end = {}
    for k, i in ends:
        at_end.setdefault(lines[k][i], set()).add(k)
    segment_grid = _Grid(30.0)
    for k, line in enumerate(lines):
        for s, (a, b) in enumerate(zip(line, line[1:])):
            segment_grid.add((k, s), a, b)
    for k, i in ends:
        p = lines[k][i]
        if at_end[p] - {k}:
            continue
        best, target = snap, None
        for m, s in sorted(segment_grid.near(p, p, snap)):
            if m == k:
                continue
            a, b = lines[m][s], lines[m][s + 1]
            # A vertex of the segment near enough is taken as it is.
            q = next((v for v in (a, b) if _dist(p, v) <= snap), None)
            if q is None:
                q = _project(p, a, b)[0]
            d = _dist(p, q)
            if 0 < d <= best:
                best, target = d, q
        if target is not None:
            lines[k][i] = target
    return lines


def noded_network(polylines, snap):
    """{"lines", "nodes", "length"} of the noded network of the polylines (lists of (x, y))."""
    # A line read twice (from two blocks) is one line: its twin's end is no
    # junction.
    unique, seen = [], set()
    for p in polylines:
        key = min(tuple(p), tuple(reversed(p)))
        if key not in seen:
            seen.add(key)
            unique.append(p)
    lines = _snap_ends([_drop_short_segments(p, snap) for p in unique], snap)
    lines = [l for l in lines if len(l) > 1]
    segments = set()
    ends = set()
    for line in lines:
        ends.add(line[0])
        ends.add(line[-1])
        for a, b in zip(line, line[1:]):
            if a != b:
                segments.add((a, b) if a < b else (b, a))
    segments = sorted(segments)
    grid = _Grid(30.0)
    for n, (a, b) in enumerate(segments):
        grid.add(n, a, b)
    vertices = {p for s in segments for p in s}
    cuts = {n: set() for n in range(len(segments))}
    crossings = set()
    for n, (a, b) in enumerate(segments):
        for m in grid.near(a, b, 1e-6):
            if m <= n:
                continue
            c, d = segments[m]
            x = _crossing(a, b, c, d)
            if x is not None:
                cuts[n].add(x)
                cuts[m].add(x)
                crossings.add(x)
        for m in grid.near(a, b, 1e-6):
            for p in segments[m]:
                if p != a and p != b and p in vertices and _project(p, a, b)[1] < 1e-7:
                    cuts[n].add(p)
    pieces = []
    for n, (a, b) in enumerate(segments):
        points = sorted(cuts[n], key=lambda p: _dist(a, p))
        chain = [a] + points + [b]
        pieces.extend(zip(chain, chain[1:]))
    adjacent = {}
    for a, b in pieces:
        adjacent.setdefault(a, []).append((a, b))
        adjacent.setdefault(b, []).append((a, b))
    breaks = {p for p, e in adjacent.items() if len(e) != 2} | (ends & set(adjacent)) | crossings
    seen = set()
    count = 0
    for start in breaks:
        for edge in adjacent[start]:
            if edge in seen:
                continue
            count += 1
            seen.add(edge)
            at = edge[1] if edge[0] == start else edge[0]
            while at not in breaks:
                edge = next(e for e in adjacent[at] if e not in seen)
                seen.add(edge)
                at = edge[1] if edge[0] == at else edge[0]
    return {"lines": count, "nodes": len(breaks), "length": round(sum(_dist(a, b) for a, b in pieces), 4)}
