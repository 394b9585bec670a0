"""What a correct export of each forest level must produce from a district.

A level's network holds the lines that have an area of one unit of the level
on exactly one side. Its faces are therefore the groups of forest description
areas joined across the lines left out; a group whose areas belong to one unit
becomes that unit's area, a group of areas under no unit of the level (and not
joined to the outside) becomes an empty area of kind 134. The net area of a
face is the sum of the net areas of its group, islands included as holes.
"""
from district import CLASS_BASE, STAND, NONFOREST, OTHER, REMAINING

MIN_AREA_M2 = 10.0          # MinPlochaM: smaller areas are not filed in the hierarchy
LIMITS = (100, 500, 900)    # SpodniMezBezlesi, SpodniMezJine, SpodniMezOstatni
EMPTY_KIND = 134
RING_LIMIT = 2030           # rings of this many lines or more give no area

# code, level class, prefix, area kind
LEVELS = (
    ("PSK", "TPorostniSkupina", "16PSK", 1600),
    ("DIL", "TDilec", "14DIL", 1400),
    ("ZRO", "TDilec", "91ZRO", 1400),
    ("ODD", "TOddeleni", "13ODD", 1300),
    ("REG", "TRevir", "94REG", 9400),
    ("BZL", "TBezlesi", "17BZL", 1700),
    ("JP", "TJine", "18JP", 1800),
    ("OP", "TOstatni", "19OP", 1900),
)
GROUP_CLASS = {"TPorostniSkupina": STAND, "TBezlesi": NONFOREST, "TJine": OTHER,
               "TOstatni": REMAINING}


def group_class(skupina):
    try:
        n = int(skupina.strip())
    except ValueError:
        n = 0
    if n >= LIMITS[2]:
        return REMAINING
    if n >= LIMITS[1]:
        return OTHER
    if n >= LIMITS[0]:
        return NONFOREST
    return STAND


def unit_of(area, district_code, level_class):
    """Key of the unit of the level that holds the area, or None."""
    if area.druh != 110 or area.whole < MIN_AREA_M2:
        return None
    if level_class == "TRevir":
        return (district_code,)
    if level_class == "TOddeleni":
        return (district_code, area.odd)
    if level_class == "TDilec":
        return (district_code, area.odd, area.dil[:1])
    if group_class(area.skupina) != GROUP_CLASS[level_class]:
        return None
    return (district_code, area.odd, area.dil[:1], area.skupina[:10])


def _unit_name(key):
    return "/".join(str(k) for k in key)


def level_faces(district, level_class):
    keys = {a.number: unit_of(a, district.code, level_class) for a in district.areas}
    keys[0] = None
    parent = {n: n for n in keys}

    def find(n):
        while parent[n] != n:
            parent[n] = parent[parent[n]]
            n = parent[n]
        return n

    network = []
    for line in district.lines:
        a = line.left.number if line.left else 0
        b = line.right.number if line.right else 0
        if keys[a] == keys[b]:
            parent[find(a)] = find(b)
        else:
            network.append((a, b))
    outside = find(0)
    groups = {}
    for a in district.areas:
        root = find(a.number)
        if root != outside:
            groups.setdefault(root, []).append(a)
    ring_lines = {}
    for a, b in network:
        for n in (a, b):
            if n:
                ring_lines[find(n)] = ring_lines.get(find(n), 0) + 1
    faces = []
    for root, members in groups.items():
        faces.append({
            "unit": keys[members[0].number],
            "net_m2": sum(m.net for m in members),
            "det_areas": sorted(m.number for m in members),
            "ring_lines": ring_lines.get(root, 0),
        })
    return faces, len(network)


def expected_levels(district):
    out = {}
    for code, level_class, prefix, kind in LEVELS:
        faces, network_lines = level_faces(district, level_class)
        areas = []
        units = {}
        for f in sorted(faces, key=lambda f: f["det_areas"][0]):
            druh = kind if f["unit"] is not None else EMPTY_KIND
            entry = {"druh": druh, "unit": _unit_name(f["unit"]) if f["unit"] else None,
                     "net_m2": round(f["net_m2"], 4), "plocha_ha": round(f["net_m2"] / 1e4, 6),
                     "det_areas": f["det_areas"], "ring_lines": f["ring_lines"]}
            areas.append(entry)
            if f["unit"] is not None:
                u = units.setdefault(entry["unit"], {"areas": 0, "net_m2": 0.0})
                u["areas"] += 1
                u["net_m2"] += f["net_m2"]
        level_areas = [a for a in areas if a["druh"] == kind]
        empty = [a for a in areas if a["druh"] == EMPTY_KIND]
        for u in units.values():
            u["net_m2"] = round(u["net_m2"], 4)
        out[code] = {
            "level_class": level_class,
            "block": "%s_%s.BLK" % (district.code, prefix),
            "table": "P%04d.DBF" % kind,
            "area_kind": kind,
            "network_lines": network_lines,
            "count": len(level_areas),
            "sum_net_m2": round(sum(a["net_m2"] for a in level_areas), 4),
            "empty_count": len(empty),
            "empty_sum_net_m2": round(sum(a["net_m2"] for a in empty), 4),
            "max_ring_lines": max((a["ring_lines"] for a in areas), default=0),
            "ring_limit_exceeded": any(a["ring_lines"] >= RING_LIMIT for a in areas),
            "units": units,
            "areas": areas,
        }
    return out


# The DET rows each comparison keeps, by the number in SKUPINA's first three characters.
def _keeps_det_row(code, skupina):
    text = skupina[:3].strip()
    n = int(text) if text.isdigit() else None
    if code == "PSK":
        return n is None or n <= LIMITS[0]
    if code == "BZL":
        return n is not None and LIMITS[0] <= n < LIMITS[1]
    if code == "JP":
        return n is not None and LIMITS[1] <= n < LIMITS[2]
    if code == "OP":
        return n is not None and n >= LIMITS[2]
    return True


def _comparison_key(code, odd, dil, skupina):
    if code in ("PSK", "BZL", "JP", "OP"):
        return "%s%s%s" % (odd, dil, skupina)
    if code in ("DIL", "ZRO"):
        return "%s%s" % (odd, dil)
    if code == "ODD":
        return str(odd)
    return ""


def expected_checks(district, levels):
    """What the DET-GIS check of each exported level lists: the keys whose sums of
    PLOCHA (ha) differ by 0.01 or more, or that one side lacks."""
    out = {}
    for code, level_class, _prefix, kind in LEVELS:
        det, gis = {}, {}
        for a in district.areas:
            if _keeps_det_row(code, a.skupina):
                key = _comparison_key(code, a.odd, a.dil, a.skupina).lower()
                det[key] = det.get(key, 0.0) + a.net / 1e4
        by_number = {a.number: a for a in district.areas}
        for face in levels[code]["areas"]:
            if face["druh"] != kind:
                continue
            first = by_number[face["det_areas"][0]]
            key = _comparison_key(code, first.odd, first.dil[:1], first.skupina[:10]).lower()
            gis[key] = gis.get(key, 0.0) + face["net_m2"] / 1e4
        listed = []
        for key in sorted(set(det) | set(gis)):
            if key not in gis:
                listed.append({"key": key, "det_ha": round(det[key], 6), "gis_ha": None})
            elif key not in det:
                listed.append({"key": key, "det_ha": None, "gis_ha": round(gis[key], 6)})
            elif abs(det[key] - gis[key]) >= 0.01:
                listed.append({"key": key, "det_ha": round(det[key], 6), "gis_ha": round(gis[key], 6)})
        out[code] = listed
    return out
