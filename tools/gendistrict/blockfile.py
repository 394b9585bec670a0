"""Writer of a Gelix block directory: the TN record files, TN.TTX and INFO.TXT.

Objects are written at the record index of their number; record 0 of every
record file is the dummy. Stored values are the positive grid values.
"""
import math
import os
import struct

from model import line_length
import real48

_LIN_HEAD = struct.Struct("<IhBBBhhh4xii")
_LINK = struct.Struct("<iB")
_AREAS = struct.Struct("<II")
_ARE_HEAD = struct.Struct("<IhBxhh4xi4xBI")
_PNT_HEAD = struct.Struct("<IhBBxhh4x")
_TBX_HEAD = struct.Struct("<Ih5xBBB")
_TBX_TAIL = struct.Struct("<hh24x")

LIN_SIZE, ARE_SIZE, PNT_SIZE, TBX_SIZE, CRD_SIZE = 103, 71, 35, 85, 12

TTX_BANNER = "Gelix - soubor textů bloku "


def _reals(*values):
    return real48.encode_many(values)


def _bbox(pts):
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    return min(xs), min(ys), max(xs), max(ys)


def _reference(pts):
    """The middle vertex of a line and the direction there (radians, world)."""
    k = len(pts) // 2
    a = pts[k - 1] if k > 0 else pts[0]
    b = pts[k] if k > 0 else pts[1]
    return pts[k], math.atan2(-(b[1] - a[1]), -(b[0] - a[0]))


def encode_lines(lines):
    """TN.LIN and TN.CRD contents; vertices numbered from record 1 in line order."""
    count = max((l.number for l in lines), default=0) + 1
    lin = bytearray(LIN_SIZE * count)
    lin[7] = 1
    coords = []
    reals = []  # eight per line, encoded together
    heads = []
    next_coord = 1
    for line in lines:
        first = next_coord
        last = next_coord + len(line.pts) - 1
        next_coord = last + 1
        for x, y in line.pts:
            coords.append(x)
            coords.append(y)
        links = line.links or ((-1, 0),) * 4
        ref, angle = _reference(line.pts)
        flags = 1 if line.deleted else 0
        heads.append((line.number,
                      _LIN_HEAD.pack(line.number, line.druh, line.presnost, flags, 0, line.barva,
                                     line.znacka, line.symbol, first, last)
                      + b"".join(_LINK.pack(n, f) for n, f in links)
                      + _AREAS.pack(line.left.number if line.left else 0,
                                    line.right.number if line.right else 0)))
        reals += (line_length(line.pts), *_bbox(line.pts), ref[0], ref[1], angle)
    encoded = real48.encode_many(reals)
    for k, (number, head) in enumerate(heads):
        rec = head + encoded[48 * k:48 * (k + 1)]
        assert len(rec) == LIN_SIZE
        lin[LIN_SIZE * number:LIN_SIZE * (number + 1)] = rec
    return bytes(lin), bytes(CRD_SIZE) + real48.encode_many(coords)


def encode_areas(areas):
    count = max((a.number for a in areas), default=0) + 1
    are = bytearray(ARE_SIZE * count)
    are[6] = 4
    encoded = real48.encode_many([v for a in areas for v in (a.label[0], a.label[1], *a.bbox, a.whole)])
    for k, a in enumerate(areas):
        rec = (_ARE_HEAD.pack(a.number, a.druh, 0, a.barva, a.znacka, a.line_no,
                              1 if a.children else 0, a.father.number if a.father else 0)
               + encoded[42 * k:42 * (k + 1)])
        assert len(rec) == ARE_SIZE
        are[ARE_SIZE * a.number:ARE_SIZE * (a.number + 1)] = rec
    return bytes(are)


def encode_points(points):
    count = max((p.number for p in points), default=0) + 1
    pnt = bytearray(PNT_SIZE * count)
    pnt[7] = 1
    for p in points:
        rec = (_PNT_HEAD.pack(p.number, p.druh, 2, 1 if p.deleted else 0, p.barva, p.znacka)
               + _reals(p.x, p.y, p.angle))
        pnt[PNT_SIZE * p.number:PNT_SIZE * (p.number + 1)] = rec
    return bytes(pnt)


def encode_texts(texts, block_name):
    """TN.TBX and TN.TTX; text k of TN.TTX belongs to record k."""
    count = max((t.number for t in texts), default=0) + 1
    tbx = bytearray(TBX_SIZE * count)
    tbx[11] = 1
    strings = [TTX_BANNER + block_name] + [""] * (count - 1)
    for t in texts:
        rec = (_TBX_HEAD.pack(t.number, t.druh, 2, 0, t.font)
               + _reals(t.x, t.y, t.height, 1.0, t.direction) + b"\0"
               + _reals(t.slope, 0.0) + _TBX_TAIL.pack(t.barva, t.znacka))
        assert len(rec) == TBX_SIZE
        tbx[TBX_SIZE * t.number:TBX_SIZE * (t.number + 1)] = rec
        strings[t.number] = t.text
    ttx = "".join(s + "\r\n" for s in strings).encode("cp1250")
    return bytes(tbx), ttx


def block_rectangle(lines, points, texts):
    xs, ys = [], []
    for line in lines:
        for x, y in line.pts:
            xs.append(x)
            ys.append(y)
    for p in list(points) + list(texts):
        xs.append(p.x)
        ys.append(p.y)
    if not xs:
        return (0.0, 0.0, 0.0, 0.0)
    return (math.floor(min(xs)), math.floor(min(ys)), math.ceil(max(xs)), math.ceil(max(ys)))


def write_block(path, lines=(), areas=(), points=(), texts=()):
    os.makedirs(path, exist_ok=True)
    name = os.path.basename(path)
    lin, crd = encode_lines(lines)
    tbx, ttx = encode_texts(texts, name)
    files = {
        "TN.CRD": crd,
        "TN.LIN": lin,
        "TN.ARE": encode_areas(areas),
        "TN.PNT": encode_points(points),
        "TN.TBX": tbx,
        "TN.TTX": ttx,
    }
    rect = block_rectangle(lines, points, texts)
    files["INFO.TXT"] = ("NAZEVBLOKU=%s\r\nCODEPAGE=1250\r\nOPSANYOBDELNIKBLOKU=%d %d %d %d\r\n"
                         % ((name,) + tuple(int(v) for v in rect))).encode("cp1250")
    for fname, data in files.items():
        with open(os.path.join(path, fname), "wb") as fh:
            fh.write(data)
