"""The jittered lattice on which the districts of one LHC are laid out.

Every area of a district is a union of lattice cells, so two neighbours share
exactly the same boundary vertices: the lattice points (moved a little at
random) and the wiggle vertices of the lattice edges between them. Both are
functions of the lattice position and the seed alone, so neighbouring
districts built from one lattice fit together without gaps.
"""
import math

from real48 import snap

_MASK = (1 << 64) - 1


def mix(*values):
    """A 64-bit hash of integers: the values folded in, then the splitmix64 finaliser."""
    h = 0x9E3779B97F4A7C15
    for v in values:
        h = ((h ^ (v & _MASK)) * 0x100000001B3 + 0x632BE59BD9B4E019) & _MASK
    h = ((h ^ (h >> 30)) * 0xBF58476D1CE4E5B9) & _MASK
    h = ((h ^ (h >> 27)) * 0x94D049BB133111EB) & _MASK
    return h ^ (h >> 31)


def unit(*values):
    """A number in [0, 1) from the hash of the values."""
    return mix(*values) / 18446744073709551616.0


class Lattice:
    STEP = 60.0       # metres between lattice points
    JITTER = 6.0      # largest shift of a lattice point in X and in Y
    WIGGLE = 3.0      # largest sideways shift of a vertex inside an edge
    MEANDER_VERTICES = 110
    MEANDER_AMPLITUDE = 2.5

    def __init__(self, seed, origin_x, origin_y):
        self.seed = seed
        self.origin_x = origin_x
        self.origin_y = origin_y
        self._points = {}
        self.meander_edges = set()  # (i, j, horizontal) edges drawn as a winding stream

    def point(self, i, j):
        key = (i, j)
        p = self._points.get(key)
        if p is None:
            jx = (unit(self.seed, 1, i, j) * 2.0 - 1.0) * self.JITTER
            jy = (unit(self.seed, 2, i, j) * 2.0 - 1.0) * self.JITTER
            p = (snap(self.origin_x + i * self.STEP + jx), snap(self.origin_y + j * self.STEP + jy))
            self._points[key] = p
        return p

    def cell_centre(self, i, j):
        pts = (self.point(i, j), self.point(i + 1, j), self.point(i + 1, j + 1), self.point(i, j + 1))
        return (sum(p[0] for p in pts) / 4.0, sum(p[1] for p in pts) / 4.0)

    def edge_inner(self, i, j, horizontal):
        """Vertices strictly inside the edge from (i, j) to its right or upper neighbour."""
        a = self.point(i, j)
        b = self.point(i + 1, j) if horizontal else self.point(i, j + 1)
        dx, dy = b[0] - a[0], b[1] - a[1]
        length = math.hypot(dx, dy)
        nx, ny = -dy / length, dx / length
        key = (i, j, horizontal)
        h = 1 if horizontal else 0
        out = []
        if key in self.meander_edges:
            n = self.MEANDER_VERTICES
            for m in range(1, n + 1):
                t = m / (n + 1.0)
                envelope = min(1.0, 4.0 * t, 4.0 * (1.0 - t))
                d = self.MEANDER_AMPLITUDE * math.sin(2.0 * math.pi * 3.0 * t) * envelope
                out.append((snap(a[0] + dx * t + nx * d), snap(a[1] + dy * t + ny * d)))
            return out
        n = mix(self.seed, 3, i, j, h) % 4
        for m in range(1, n + 1):
            # Inner vertices stay in the middle half of the edge, so that the
            # edges leaving one lattice point never come near each other.
            t = 0.25 + 0.5 * (m - 0.5 + 0.3 * (unit(self.seed, 4, i, j, h, m) - 0.5)) / n
            d = (unit(self.seed, 5, i, j, h, m) * 2.0 - 1.0) * self.WIGGLE
            out.append((snap(a[0] + dx * t + nx * d), snap(a[1] + dy * t + ny * d)))
        return out


class ShiftedColumn(Lattice):
    """The lattice seen by a neighbouring district: the points of one column moved
    by a few millimetres in X, as two districts digitised apart meet. Everything
    else, meandering edges included, is the base lattice's."""

    def __init__(self, base, column, shift):
        super().__init__(base.seed, base.origin_x, base.origin_y)
        self.meander_edges = base.meander_edges
        self.column = column
        self.shift = shift

    def point(self, i, j):
        p = super().point(i, j)
        return (snap(p[0] + self.shift), p[1]) if i == self.column else p
