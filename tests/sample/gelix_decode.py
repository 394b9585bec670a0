"""Independent reader of Gelix block directories and dBase tables, for the checks.

Written from the file formats alone and sharing no code with the generator,
so that the two cannot agree on a mistake.
"""
import math
import os
import struct

RECORD_SIZES = {"TN.CRD": 12, "TN.LIN": 103, "TN.ARE": 71, "TN.PNT": 35, "TN.TBX": 85}


def real48(b, off=0):
    e = b[off]
    if e == 0:
        return 0.0
    frac = int.from_bytes(b[off + 1:off + 5], "little") | ((b[off + 5] & 0x7F) << 32)
    v = (1.0 + frac / float(1 << 39)) * 2.0 ** (e - 129)
    return -v if b[off + 5] & 0x80 else v


def _records(path, size):
    with open(path, "rb") as fh:
        data = fh.read()
    return [data[k * size:(k + 1) * size] for k in range(len(data) // size)]


class LineRec:
    def __init__(self, b, coords):
        (self.cislo, self.druh, self.presnost, self.flags, self.vyber, self.barva, self.znacka,
         self.symbol) = struct.unpack_from("<IhBBBhhh", b, 0)
        self.first, self.last = struct.unpack_from("<ii", b, 19)
        self.links = [struct.unpack_from("<iB", b, off) for off in (27, 32, 37, 42)]
        self.left_area, self.right_area = struct.unpack_from("<II", b, 47)
        (self.length, self.min_x, self.min_y, self.max_x, self.max_y, self.ref_x, self.ref_y,
         self.angle) = (real48(b, off) for off in range(55, 103, 6))
        self.deleted = bool(self.flags & 1)
        self.pts = coords[self.first:self.last + 1] if not self.deleted else []

    @property
    def left_next(self):
        return self.links[1]

    @property
    def right_next(self):
        return self.links[2]


class AreaRec:
    def __init__(self, b):
        self.cislo, self.druh, self.flags = struct.unpack_from("<IhB", b, 0)
        self.barva, self.znacka = struct.unpack_from("<hh", b, 8)
        self.line_no, = struct.unpack_from("<i", b, 16)
        self.has_children = b[24]
        self.pater_no, = struct.unpack_from("<I", b, 25)
        (self.ref_x, self.ref_y, self.min_x, self.min_y, self.max_x, self.max_y,
         self.area) = (real48(b, off) for off in range(29, 71, 6))
        self.live = (self.flags & 7) == 0 and self.area > 0.001


class PointRec:
    def __init__(self, b):
        self.cislo, self.druh, self.presnost, self.flags = struct.unpack_from("<IhBB", b, 0)
        self.x, self.y, self.angle = real48(b, 17), real48(b, 23), real48(b, 29)
        self.deleted = bool(self.flags & 1)


class TextRec:
    def __init__(self, b, text):
        self.cislo, self.druh = struct.unpack_from("<Ih", b, 0)
        self.atrib = b[11]
        self.x, self.y, self.height = real48(b, 14), real48(b, 20), real48(b, 26)
        self.text = text
        self.deleted = bool(self.atrib & 1)


class Block:
    def __init__(self, path):
        self.path = path
        self.sizes = {}
        for name, size in RECORD_SIZES.items():
            self.sizes[name] = os.path.getsize(os.path.join(path, name))
        self.coords = [(real48(r, 0), real48(r, 6)) for r in _records(self._f("TN.CRD"), 12)]
        self.lines = [LineRec(r, self.coords) for r in _records(self._f("TN.LIN"), 103)]
        self.areas = [AreaRec(r) for r in _records(self._f("TN.ARE"), 71)]
        self.points = [PointRec(r) for r in _records(self._f("TN.PNT"), 35)]
        with open(self._f("TN.TTX"), "rb") as fh:
            self.ttx = fh.read().decode(self.codepage_name()).split("\r\n")
        self.texts = [TextRec(r, self.ttx[k] if k < len(self.ttx) else "")
                      for k, r in enumerate(_records(self._f("TN.TBX"), 85))]

    def _f(self, name):
        return os.path.join(self.path, name)

    def info(self):
        out = {}
        with open(self._f("INFO.TXT"), "rb") as fh:
            for line in fh.read().decode("ascii", "replace").splitlines():
                if "=" in line:
                    k, v = line.split("=", 1)
                    out[k.strip().upper()] = v.strip()
        return out

    def codepage_name(self):
        cp = {"1250": "cp1250", "852": "cp852", "2": "cp852"}
        try:
            return cp.get(self.info().get("CODEPAGE", ""), "cp437")
        except OSError:
            return "cp437"

    def live_lines(self):
        return [l for l in self.lines[1:] if not l.deleted]

    def live_areas(self):
        return [a for a in self.areas[1:] if a.live]

    # -- ring walks as the format prescribes -----------------------------------------

    def _next(self, line, on_left):
        number, flag = line.left_next if on_left else line.right_next
        if not (0 < number < len(self.lines)) or self.lines[number].deleted:
            return None, None
        return self.lines[number], bool(flag)

    def walk(self, first, on_left, limit=10000):
        """[(line, forward)] of the ring that starts on first, or None when it breaks."""
        ring = []
        line, left = first, on_left
        while True:
            ring.append((line, left))
            line, left = self._next(line, left)
            if line is None or len(ring) > limit:
                return None
            if line is first and left == on_left:
                return ring

    def outer_ring(self, area):
        """Walk from LineNo (or the first line that borders the area)."""
        n = area.line_no
        candidates = ([self.lines[n]] if 1 <= n < len(self.lines) else []) + self.lines[1:]
        for line in candidates:
            if not line.deleted and area.cislo in (line.left_area, line.right_area):
                return self.walk(line, line.left_area == area.cislo)
        return None

    def hole_ring(self, island):
        """The ring the island leaves in its father, walked on the father's side."""
        ring = self.outer_ring(island)
        if not ring:
            return None
        for line, left in ring:
            if island.pater_no in (line.left_area, line.right_area):
                return self.walk(line, not left)
        return None


def ring_points(ring):
    pts = []
    for line, forward in ring:
        p = line.pts if forward else line.pts[::-1]
        pts.extend(p if not pts else p[1:])
    return pts


def ring_sum(pts):
    """sum (x[i] - x[i-1]) * (y[i] + y[i-1]) / 2 over the closed ring (clockwise positive)."""
    if not pts:
        return 0.0
    ox, oy = pts[0]
    s = 0.0
    closed = pts + [pts[0]]
    for (x0, y0), (x1, y1) in zip(closed, closed[1:]):
        s += (x1 - x0) * ((y1 - oy) + (y0 - oy))
    return s / 2.0


def open_sum(pts, oy=1000000.0):
    """A line's part of a ring sum, about a fixed level so that the parts add up."""
    return sum((x1 - x0) * ((y1 - oy) + (y0 - oy)) for (x0, y0), (x1, y1) in zip(pts, pts[1:])) / 2.0


def inside(pts, x, y):
    """Even-odd test of a point against a ring."""
    c = False
    n = len(pts)
    for k in range(n):
        x0, y0 = pts[k - 1]
        x1, y1 = pts[k]
        if (y0 > y) != (y1 > y):
            if x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                c = not c
    return c


def world_angle(p, q):
    """Direction from p to q in world coordinates (the negated stored values), in (0, 2 pi]."""
    dx, dy = -(q[0] - p[0]), -(q[1] - p[1])
    if dx == 0 and dy == 0:
        return 2 * math.pi
    a = math.atan2(dy, dx)
    return a if a > 0 else a + 2 * math.pi


# -- dBase ---------------------------------------------------------------------------

class Table:
    def __init__(self, path):
        with open(path, "rb") as fh:
            data = fh.read()
        self.version = data[0]
        count, header, size = struct.unpack_from("<IHH", data, 4)
        self.language_driver = data[29]
        self.fields = []
        off = 32
        while data[off] != 0x0D:
            name = data[off:off + 11].split(b"\0")[0].decode("ascii")
            self.fields.append((name, chr(data[off + 11]), data[off + 16], data[off + 17]))
            off += 32
        self.header_size = header
        self.record_size = size
        self.rows = []
        for k in range(count):
            rec = data[header + k * size:header + (k + 1) * size]
            pos = 1
            row = {}
            for name, ftype, width, dec in self.fields:
                raw = rec[pos:pos + width].decode("cp1250")
                pos += width
                row[name] = float(raw) if ftype == "N" and raw.strip() else raw.strip()
            row["_deleted"] = rec[:1] == b"*"
            self.rows.append(row)
        self.ends_with_eof = data[-1:] == b"\x1a"
        self.expected_size = header + count * size + 1

    def field_names(self):
        return [f[0] for f in self.fields]
