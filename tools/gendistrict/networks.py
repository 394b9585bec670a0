"""What the noding of a line network must give, worked out from the geometry
alone: segments not longer than the snap distance go, ends within the snap distance of another line's end meet there, ends
(the ends meeting at one point together) within it of another line's segment
meet on that segment (on its vertex when that is near enough), every line is cut
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
        ax, ay = a
        bx, by = b
        if ax > bx:
            ax, bx = bx, ax
        if ay > by:
            ay, by = by, ay
        floor = math.floor
        return (int(floor((ax - pad) / c)), int(floor((bx + pad) / c)),
                int(floor((ay - pad) / c)), int(floor((by + pad) / c)))

    def add(self, item, a, b):
        i0, i1, j0, j1 = self._span(a, b, 0)
        cells = self.cells
        if i0 == i1 and j0 == j1:  # most segments lie in one cell
            bucket = cells.get((i0, j0))
            if bucket is None:
                cells[(i0, j0)] = [item]
            else:
                bucket.append(item)
            return
        for i in range(i0, i1 + 1):
            for j in range(j0, j1 + 1):
                bucket = cells.get((i, j))
                if bucket is None:
                    cells[(i, j)] = [item]
                else:
                    bucket.append(item)

    def near(self, a, b, pad):
        found = set()
        i0, i1, j0, j1 = self._span(a, b, pad)
        get = self.cells.get
        for i in range(i0, i1 + 1):
            for j in range(j0, j1 + 1):
                bucket = get((i, j))
                if bucket:
                    found.update(bucket)
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
    # The ends that meet at one point are a junction: it moves as one onto
    # the nearest segment of another line, so that a junction lying within
    # the snap distance of a line is no node apart from it, and stays where
    # it is when it lies on one already.
    at_end = {}
    for k, i in ends:
        at_end.setdefault(lines[k][i], []).append((k, i))
    segment_grid = _Grid(30.0)
    for k, line in enumerate(lines):
        for s, (a, b) in enumerate(zip(line, line[1:])):
            segment_grid.add((k, s), a, b)
    for p, junction in at_end.items():
        own = {k for k, _ in junction}
        best, target = snap, None
        for m, s in sorted(segment_grid.near(p, p, snap)):
            if m in own:
                continue
            a, b = lines[m][s], lines[m][s + 1]
            # A vertex of the segment near enough is taken as it is.
            q = next((v for v in (a, b) if _dist(p, v) <= snap), None)
            if q is None:
                q = _project(p, a, b)[0]
            d = _dist(p, q)
            if d <= best:
                best, target = d, q
        if target is not None and best > 0:
            for k, i in junction:
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
    cuts = {}
    crossings = set()
    for n, (a, b) in enumerate(segments):
        near = grid.near(a, b, 1e-6)
        for m in near:
            if m <= n:
                continue
            c, d = segments[m]
            x = _crossing(a, b, c, d)
            if x is not None:
                cuts.setdefault(n, set()).add(x)
                cuts.setdefault(m, set()).add(x)
                crossings.add(x)
        # Only a point inside the segment's box (widened by twice the distance,
        # room for rounding) can lie that close to the segment.
        x0, x1 = (a[0], b[0]) if a[0] <= b[0] else (b[0], a[0])
        y0, y1 = (a[1], b[1]) if a[1] <= b[1] else (b[1], a[1])
        x0, x1, y0, y1 = x0 - 2e-7, x1 + 2e-7, y0 - 2e-7, y1 + 2e-7
        for m in near:
            for p in segments[m]:
                if (x0 <= p[0] <= x1 and y0 <= p[1] <= y1 and p != a and p != b
                        and _project(p, a, b)[1] < 1e-7):
                    cuts.setdefault(n, set()).add(p)
    pieces = []
    for n, (a, b) in enumerate(segments):
        if n not in cuts:
            pieces.append((a, b))
            continue
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
