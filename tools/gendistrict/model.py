"""Plain records of what a block holds, and the topology rules they obey.

Orientation: in the stored plane (X to the right, Y up) every area's outer
ring, walked with the area on the walker's right, is clockwise and sums
positive by  sum (x[i] - x[i-1]) * (y[i] + y[i-1]) / 2.  A line's left area is
the area that walks it in its own direction, so the left area lies on the
line's right-hand side in that plane. Negating both coordinates, as readers
do, is a half turn and keeps all of this.
"""
import math


class Area:
    __slots__ = ("number", "druh", "barva", "znacka", "odd", "dil", "skupina", "porost",
                 "father", "children", "line_no", "label", "whole", "net", "bbox", "cells",
                 "note")

    def __init__(self, odd, dil, skupina, porost):
        self.number = 0
        self.druh = 110
        self.barva = 3
        self.znacka = 105
        self.odd = odd
        self.dil = dil
        self.skupina = skupina
        self.porost = porost
        self.father = None
        self.children = []
        self.line_no = 0
        self.label = None
        self.whole = 0.0
        self.net = 0.0
        self.bbox = None
        self.cells = []
        self.note = ""


class Line:
    __slots__ = ("number", "druh", "pts", "left", "right", "links", "barva", "znacka",
                 "symbol", "presnost", "deleted", "name")

    def __init__(self, druh, pts, left=None, right=None):
        self.number = 0
        self.druh = druh
        self.pts = pts
        self.left = left      # Area or None
        self.right = right
        self.links = None     # four (line number, flag) pairs, set by link_lines
        self.barva = 1
        self.znacka = 0
        self.symbol = 0
        self.presnost = 3
        self.deleted = False
        self.name = None


class Point:
    __slots__ = ("number", "druh", "x", "y", "angle", "barva", "znacka", "deleted", "name")

    def __init__(self, druh, x, y, name=None):
        self.number = 0
        self.druh = druh
        self.x = x
        self.y = y
        self.angle = 0.0
        self.barva = 1
        self.znacka = 1
        self.deleted = False
        self.name = name


class Text:
    __slots__ = ("number", "druh", "x", "y", "text", "height", "direction", "slope",
                 "barva", "znacka", "font")

    def __init__(self, druh, x, y, text, height=3.0, direction=0.0):
        self.number = 0
        self.druh = druh
        self.x = x
        self.y = y
        self.text = text
        self.height = height
        self.direction = direction
        self.slope = 0.0
        self.barva = 1
        self.znacka = 0
        self.font = 1


# Ring sums are taken about this level instead of zero: the sum of a closed
# ring does not change, and the products stay small at grid values near a
# million, where the plain formula would lose square decimetres.
REFERENCE_Y = 1000000.0


def line_share(pts):
    """A line's share of a ring sum, taken in its own direction (about REFERENCE_Y)."""
    s = 0.0
    px, py = pts[0]
    py -= REFERENCE_Y
    for x, y in pts[1:]:
        y -= REFERENCE_Y
        s += (x - px) * (y + py)
        px, py = x, y
    return s / 2.0


def line_length(pts):
    return sum(math.hypot(b[0] - a[0], b[1] - a[1]) for a, b in zip(pts, pts[1:]))


def direction_angle(dx, dy):
    """Direction of a vector in world coordinates, in (0, 2 pi]."""
    if dx == 0.0 and dy == 0.0:
        return 2.0 * math.pi
    a = math.atan2(dy, dx)
    return a + 2.0 * math.pi if a <= 0.0 else a


def branch_angle(pts, at_begin):
    """Angle of the first segment leaving a node, as readers see it (world = -stored)."""
    if at_begin:
        (x0, y0), (x1, y1) = pts[0], pts[1]
    else:
        (x0, y0), (x1, y1) = pts[-1], pts[-2]
    return direction_angle(-(x1 - x0), -(y1 - y0))


def link_lines(lines):
    """Give every line its four links from the angle order of the branches at its nodes.

    Link 1: the branch before this line's begin, LeftNext: the branch after
    its end, RightNext: the branch after its begin, link 4: the branch before
    its end. Ends meet only where their stored values are equal.
    """
    nodes = {}
    for line in lines:
        if line.deleted:
            continue
        for at_begin in (True, False):
            key = line.pts[0] if at_begin else line.pts[-1]
            nodes.setdefault(key, []).append((branch_angle(line.pts, at_begin), line, at_begin))
    position = {}
    for branches in nodes.values():
        branches.sort(key=lambda b: b[0])  # stable: equal angles keep arrival order
        n = len(branches)
        for k, (_, line, at_begin) in enumerate(branches):
            nxt = branches[(k + 1) % n]
            prv = branches[(k - 1) % n]
            position[(id(line), at_begin)] = ((nxt[1].number, 1 if nxt[2] else 0),
                                              (prv[1].number, 1 if prv[2] else 0))
    for line in lines:
        if line.deleted:
            line.links = ((-1, 0),) * 4
            continue
        begin_next, begin_prev = position[(id(line), True)]
        end_next, end_prev = position[(id(line), False)]
        line.links = (begin_prev, end_next, begin_next, end_prev)
    return len(nodes)
