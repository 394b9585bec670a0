"""Checks of a generated sample tree, read back through the independent decoder."""
import collections
import hashlib
import json
import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import gelix_decode as gd  # noqa: E402

GENERATOR = os.path.join(HERE, "..", "..", "tools", "gendistrict", "gendistrict.py")
BLOCK_FILES = ("TN.CRD", "TN.LIN", "TN.ARE", "TN.PNT", "TN.TBX", "TN.TTX", "INFO.TXT")
LEVEL_KINDS = (1600, 1400, 1300, 9400, 1700, 1800, 1900)


# The tree checked; GENDISTRICT_SEED and GENDISTRICT_SIZE check other trees by hand.
SEED = int(os.environ.get("GENDISTRICT_SEED", "1"))
SIZE = os.environ.get("GENDISTRICT_SIZE", "sample")


def generate(out, seed=SEED):
    subprocess.run([sys.executable, GENERATOR, "--out", out, "--seed", str(seed), "--size", SIZE],
                   check=True, stdout=subprocess.DEVNULL)


def tree_digest(root):
    h = hashlib.sha256()
    for d, dirs, files in sorted(os.walk(root)):
        dirs.sort()
        for f in sorted(files):
            p = os.path.join(d, f)
            h.update(os.path.relpath(p, root).encode())
            with open(p, "rb") as fh:
                h.update(fh.read())
    return h.hexdigest()


class GeneratedTree(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.out = cls.tmp.name
        generate(cls.out)
        with open(os.path.join(cls.out, "expected.json"), encoding="utf-8") as fh:
            cls.expected = json.load(fh)
        cls.gis = os.path.join(cls.out, "GIS")
        cls.lhc = os.path.join(cls.gis, cls.expected["lhc"])
        cls.blocks = {}
        for code in cls.expected["districts"]:
            for name in ("DET.BLK", "SLU.BLK", "CES.BLK"):
                cls.blocks[code, name] = gd.Block(os.path.join(cls.lhc, code, name))

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def det(self, code):
        return self.blocks[code, "DET.BLK"]

    # -- the tree as a whole ----------------------------------------------------------

    def test_same_arguments_give_same_bytes_and_another_seed_differs(self):
        with tempfile.TemporaryDirectory() as again, tempfile.TemporaryDirectory() as other:
            generate(again)
            generate(other, seed=SEED + 1)
            self.assertEqual(tree_digest(self.out), tree_digest(again))
            self.assertNotEqual(tree_digest(self.out), tree_digest(other))

    def test_an_existing_tree_of_other_origin_is_not_overwritten(self):
        with tempfile.TemporaryDirectory() as out:
            os.makedirs(os.path.join(out, "GIS", "4107"))
            done = subprocess.run([sys.executable, GENERATOR, "--out", out], capture_output=True, text=True)
            self.assertNotEqual(done.returncode, 0)
            self.assertIn("not overwritten", done.stderr)
            self.assertEqual(os.listdir(os.path.join(out, "GIS")), ["4107"])

    def test_six_byte_reals_match_golden_bytes(self):
        sys.path.insert(0, os.path.dirname(GENERATOR))
        import real48
        # Worked out by hand: 700000.5 = (1 + 175712.5 * 2^20 / 2^39) * 2^19.
        golden = {1.0: "810000000000", -2.5: "8200000000a0", 0.1: "7dcdcccccc4c",
                  0.0: "000000000000", 700000.5: "94000008e62a"}
        for value, hexbytes in golden.items():
            self.assertEqual(real48.encode(value).hex(), hexbytes, value)
            self.assertEqual(real48.encode_many([value]).hex(), hexbytes, value)
            self.assertEqual(gd.real48(bytes.fromhex(hexbytes)), real48.snap(value))

    def test_tree_holds_an_lhc_of_districts_with_their_blocks_and_control_files(self):
        self.assertRegex(self.expected["lhc"], r"^\d{4}$")
        districts = [d for d in os.listdir(self.lhc) if len(d) == 2]
        self.assertGreaterEqual(len(districts), 2)
        for code in districts:
            for block in ("DET.BLK", "SLU.BLK", "CES.BLK"):
                for f in BLOCK_FILES:
                    self.assertTrue(os.path.isfile(os.path.join(self.lhc, code, block, f)), (code, block, f))
        for kind in LEVEL_KINDS + (134, 1100):
            for ext in (".CRT", ".TDS"):
                self.assertTrue(os.path.isfile(os.path.join(self.gis, "P%04d%s" % (kind, ext))))
        for kind in (2100, 2200, 3100):
            for d in (self.gis, os.path.join(self.gis, "UZLIN")):
                for ext in (".CRT", ".TDS"):
                    self.assertTrue(os.path.isfile(os.path.join(d, "L%04d%s" % (kind, ext))))

    def test_field_definitions_parse_and_name_the_compared_fields(self):
        wanted = {1600: {"ODD", "DIL", "PSK", "PLOCHA"}, 1400: {"ODD", "DIL", "PLOCHA"},
                  1300: {"ODD", "PLOCHA"}, 9400: {"LHC_KOD", "PLOCHA"},
                  1700: {"ODD", "DIL", "BZL"}, 1800: {"JP"}, 1900: {"OP"}}
        for kind, names in wanted.items():
            fields = {}
            with open(os.path.join(self.gis, "P%04d.CRT" % kind), encoding="cp1250") as fh:
                for line in fh.read().splitlines():
                    if not line or line[0] in "(;{":
                        continue
                    name, ftype, width, dec = line.split()
                    self.assertIn(ftype, "CDLN")
                    self.assertLessEqual(int(width), 14)
                    fields[name] = ftype
            self.assertTrue(names <= set(fields), (kind, names - set(fields)))
        with open(os.path.join(self.gis, "P1600.TDS"), encoding="cp1250") as fh:
            pairs = [l.split() for l in fh.read().splitlines() if l and not l.startswith(";")]
        self.assertIn(["SKUPINA", "PSK"], pairs)

    def test_settings_hold_every_key_the_program_reads(self):
        with open(os.path.join(self.out, "TERGELIX.INI"), encoding="cp1250") as fh:
            text = fh.read()
        for key in ("DruhPorostniSkupiny", "DruhPrazdnePlochy", "MinPlochaM", "SpodniMezBezlesi",
                    "SpodniMezJine", "SpodniMezOstatni", "VYBLINCES", "VYBLINDET", "VYBLINSLU",
                    "EXPLINCES", "EXPLINPRUS", "EXPLINPOTOK", "MezPripojVod", "MezPripojKom",
                    "VODBL", "VODZL", "RusitPseudouzly", "RusitPseudouzlyIProRuzneDruhy",
                    "MaxPocetSouradnic", "LHCSnapDistance", "PSKBP", "DILZL", "ODDBL", "REGZP",
                    "BZLBP", "JPZL", "OPBL"):
            self.assertRegex(text, r"(?m)^%s=\S" % key)
        for section in ("[DET]", "[GLOBAL]", "[EXPORT]"):
            self.assertIn(section, text)

    def test_tables_are_whole_dbase_files_in_windows_1250(self):
        for d, _, files in os.walk(self.gis):
            for f in files:
                if f.endswith(".DBF"):
                    path = os.path.join(d, f)
                    table = gd.Table(path)
                    self.assertEqual(os.path.getsize(path), table.expected_size, path)
                    self.assertTrue(table.ends_with_eof and table.version == 3, path)
                    self.assertEqual(table.language_driver, 0xC8, path)
                    self.assertEqual(table.field_names()[0], "CISLO", path)

    def test_extraction_counts_follow_the_kind_lists(self):
        read = {"DET.BLK": {21, 22, 25, 26, 35, 433}, "SLU.BLK": {21, 22, 25, 26, 35, 433},
                "CES.BLK": {350, 352, 353, 354, 10245, 10280, 10281, 10325, 10340, 10341, 10380, 10381}}
        picked = {"roads": {21, 25, 35, 350, 352, 353, 354, 10245, 10340, 10341, 10280, 10281, 10380, 10381},
                  "rides": {22, 10325}, "streams": {26, 433}}
        blocks = list(self.blocks.items()) + [(("", "CES.BLK"), gd.Block(os.path.join(self.lhc, "CES.BLK")))]
        counts = collections.Counter()
        for (_, name), block in blocks:
            for l in block.live_lines():
                for job, kinds in picked.items():
                    counts[job] += l.druh in read[name] and l.druh in kinds
        self.assertEqual(dict(counts), self.expected["extractions"])
        self.assertTrue(all(counts.values()))

    # -- blocks -----------------------------------------------------------------------

    def test_blocks_hold_what_expected_says_with_dummies_and_valid_coordinates(self):
        for (code, name), block in self.blocks.items():
            want = self.expected["districts"][code]["blocks"][name]
            with self.subTest(code=code, block=name):
                for fname, size in gd.RECORD_SIZES.items():
                    self.assertEqual(block.sizes[fname] % size, 0)
                self.assertEqual(block.lines[0].flags, 1)
                self.assertEqual(block.areas[0].flags, 4)
                self.assertEqual(block.points[0].flags, 1)
                self.assertEqual(block.texts[0].atrib, 1)
                self.assertEqual(len(block.live_lines()), want["lines"])
                self.assertEqual(len(block.live_areas()), want["areas"])
                self.assertEqual(sum(1 for p in block.points[1:] if not p.deleted), want["points"])
                self.assertEqual(len(block.texts) - 1, want["texts"])
                self.assertEqual(len(block.ttx), len(block.texts) + 1)  # last CR LF leaves ""
                for seq in (block.lines, block.areas, block.points, block.texts):
                    self.assertEqual([r.cislo for r in seq[1:]], list(range(1, len(seq))))
                info = block.info()
                self.assertEqual(info["CODEPAGE"], "1250")
                a, b, c, d = (float(v) for v in info["OPSANYOBDELNIKBLOKU"].split())
                for l in block.live_lines():
                    self.assertGreaterEqual(len(l.pts), 2)
                    self.assertAlmostEqual(l.length, sum(
                        ((q[0] - p[0]) ** 2 + (q[1] - p[1]) ** 2) ** 0.5 for p, q in zip(l.pts, l.pts[1:])),
                        places=6)
                    for x, y in l.pts:
                        self.assertTrue(a <= x <= c and b <= y <= d)
                        self.assertTrue(600000 < x < 800000 and 1000000 < y < 1200000)

    def test_every_ring_closes_through_the_links_and_sums_to_the_stored_area(self):
        for code in self.expected["districts"]:
            block = self.det(code)
            for area in block.live_areas():
                ring = block.outer_ring(area)
                self.assertIsNotNone(ring, (code, area.cislo))
                for line, forward in ring:
                    self.assertEqual(line.left_area if forward else line.right_area, area.cislo)
                self.assertAlmostEqual(gd.ring_sum(gd.ring_points(ring)), area.area, delta=1e-3)
                self.assertGreater(area.area, 0)

    def test_islands_leave_a_hole_in_their_father(self):
        nested = 0
        for code in self.expected["districts"]:
            block = self.det(code)
            fathers = collections.Counter()
            for area in block.live_areas():
                if not area.pater_no:
                    continue
                father = block.areas[area.pater_no]
                fathers[father.cislo] += 1
                self.assertTrue(father.has_children)
                hole = block.hole_ring(area)
                self.assertIsNotNone(hole, (code, area.cislo))
                for line, forward in hole:
                    self.assertEqual(line.left_area if forward else line.right_area, father.cislo)
                self.assertAlmostEqual(gd.ring_sum(gd.ring_points(hole)), -area.area, delta=1e-3)
                if father.pater_no:
                    nested += 1
            self.assertEqual(set(fathers), {a.cislo for a in block.live_areas() if a.has_children})
        self.assertGreater(nested, 0)

    def _net_rings(self, block):
        outer = {a.cislo: gd.ring_points(block.outer_ring(a)) for a in block.live_areas()}
        holes = collections.defaultdict(list)
        for a in block.live_areas():
            if a.pater_no:
                holes[a.pater_no].append(outer[a.cislo])
        return outer, holes

    def test_sides_of_lines_and_label_points_lie_in_their_areas(self):
        # Seen in the stored plane, the area that walks a line forwards is on its right.
        for code in self.expected["districts"]:
            block = self.det(code)
            outer, holes = self._net_rings(block)

            def area_at(x, y, number):
                if number == 0:
                    return not any(gd.inside(r, x, y) for r in outer.values())
                return gd.inside(outer[number], x, y) and not any(gd.inside(h, x, y) for h in holes[number])

            for a in block.live_areas():
                self.assertTrue(area_at(a.ref_x, a.ref_y, a.cislo), (code, a.cislo, "label point"))
            for line in block.live_lines():
                p, q = max(zip(line.pts, line.pts[1:]),
                           key=lambda s: (s[1][0] - s[0][0]) ** 2 + (s[1][1] - s[0][1]) ** 2)
                mx, my = (p[0] + q[0]) / 2, (p[1] + q[1]) / 2
                dx, dy = q[0] - p[0], q[1] - p[1]
                n = (dx * dx + dy * dy) ** 0.5 / 0.01
                right = (mx + dy / n, my - dx / n)
                left = (mx - dy / n, my + dx / n)
                self.assertTrue(area_at(*right, line.left_area), (code, line.cislo, "left area"))
                self.assertTrue(area_at(*left, line.right_area), (code, line.cislo, "right area"))

    def test_links_name_the_neighbouring_branches_in_angle_order(self):
        for (code, name), block in self.blocks.items():
            nodes = collections.defaultdict(list)
            for l in block.live_lines():
                nodes[l.pts[0]].append((gd.world_angle(l.pts[0], l.pts[1]), l.cislo, 1))
                nodes[l.pts[-1]].append((gd.world_angle(l.pts[-1], l.pts[-2]), l.cislo, 0))
            where = {}
            for branches in nodes.values():
                branches.sort(key=lambda b: b[0])
                for k, (_, n, begin) in enumerate(branches):
                    nxt = branches[(k + 1) % len(branches)]
                    prv = branches[k - 1]
                    where[n, begin] = ((nxt[1], nxt[2]), (prv[1], prv[2]))
            for l in block.live_lines():
                begin_next, begin_prev = where[l.cislo, 1]
                end_next, end_prev = where[l.cislo, 0]
                with self.subTest(block=(code, name), line=l.cislo):
                    self.assertEqual([tuple(x) for x in l.links],
                                     [begin_prev, end_next, begin_next, end_prev])

    # -- the forest description ---------------------------------------------------------

    def test_det_table_areas_are_the_net_areas_and_sum_to_the_district(self):
        for code, want in self.expected["districts"].items():
            block = self.det(code)
            table = gd.Table(os.path.join(self.lhc, code, "DET.BLK", "P0110.DBF"))
            rows = {int(r["CISLO"]): r for r in table.rows}
            self.assertEqual(set(rows), {a.cislo for a in block.live_areas()})
            outer, holes = self._net_rings(block)
            for a in block.live_areas():
                net = gd.ring_sum(outer[a.cislo]) - sum(gd.ring_sum(h) for h in holes[a.cislo])
                self.assertAlmostEqual(rows[a.cislo]["PLOCHA"], net / 1e4, delta=6e-7)
            # The district's own outline: the lines with no area on one side.
            outline = 0.0
            for l in block.live_lines():
                share = gd.open_sum(l.pts)
                if l.right_area == 0:
                    outline += share
                if l.left_area == 0:
                    outline -= share
            total = sum(r["PLOCHA"] for r in rows.values())
            self.assertAlmostEqual(total, outline / 1e4, delta=1e-4)
            self.assertAlmostEqual(total, want["det_area_ha"], delta=1e-4)

    def test_forest_hierarchy_is_deep_and_every_group_class_occurs(self):
        for code in self.expected["districts"]:
            rows = gd.Table(os.path.join(self.lhc, code, "DET.BLK", "P0110.DBF")).rows
            classes = collections.Counter()
            per_dilec = collections.defaultdict(set)
            per_odd = collections.defaultdict(set)
            for r in rows:
                n = int(r["SKUPINA"][:3])
                classes[0 if n < 100 else 1 if n < 500 else 2 if n < 900 else 3] += 1
                per_dilec[r["ODDELENI"], r["DILEC"]].add(r["SKUPINA"])
                per_odd[r["ODDELENI"]].add(r["DILEC"])
            self.assertEqual(set(classes), {0, 1, 2, 3}, code)
            self.assertTrue(any(len(s) >= 2 for s in per_odd.values()))
            self.assertGreaterEqual(min(len(s) for s in per_dilec.values()), 2)

    def test_expected_level_sums_agree_with_the_det_table(self):
        # Every unit of a level gets back exactly the net area of its own rows.
        for code, want in self.expected["districts"].items():
            table = gd.Table(os.path.join(self.lhc, code, "DET.BLK", "P0110.DBF"))
            block = self.det(code)
            whole = {a.cislo: a.area for a in block.live_areas()}
            filed = [r for r in table.rows if whole[int(r["CISLO"])] >= 10.0]
            for level, key in (("ODD", lambda r: "%s/%d" % (code, r["ODDELENI"])),
                               ("DIL", lambda r: "%s/%d/%s" % (code, r["ODDELENI"], r["DILEC"])),
                               ("REG", lambda r: code)):
                sums = collections.defaultdict(float)
                for r in filed:
                    sums[key(r)] += r["PLOCHA"] * 1e4
                units = want["levels"][level]["units"]
                self.assertEqual(set(units), set(sums), level)
                for unit, s in sums.items():
                    self.assertAlmostEqual(units[unit]["net_m2"], s, delta=0.01 * len(filed))
            psk = want["levels"]["PSK"]
            self.assertGreater(psk["empty_count"], 0)   # islands of other classes, slivers
            self.assertEqual(want["levels"]["REG"]["count"], 1)

    def test_faces_of_each_level_network_are_the_expected_areas(self):
        # Walk the faces of each level's line network as area building does
        # (next branch in angle order at every node), give each hole to the
        # smallest face around it, and classify a face by the largest forest
        # area on the inner side of its ring.
        group_class = {"PSK": 0, "BZL": 1, "JP": 2, "OP": 3}
        for code, want in self.expected["districts"].items():
            block = self.det(code)
            rows = {int(r["CISLO"]): r for r in
                    gd.Table(os.path.join(self.lhc, code, "DET.BLK", "P0110.DBF")).rows}
            whole = {a.cislo: a.area for a in block.live_areas()}

            def unit(n, level):
                if n == 0 or whole[n] < 10.0:
                    return None
                r = rows[n]
                k = int(r["SKUPINA"][:3])
                cls = 0 if k < 100 else 1 if k < 500 else 2 if k < 900 else 3
                if level in group_class:
                    return (r["ODDELENI"], r["DILEC"], r["SKUPINA"]) if cls == group_class[level] else None
                return {"REG": (), "ODD": (r["ODDELENI"],), "DIL": (r["ODDELENI"], r["DILEC"]),
                        "ZRO": (r["ODDELENI"], r["DILEC"])}[level]

            for level, exp in want["levels"].items():
                lines = [l for l in block.live_lines()
                         if unit(l.left_area, level) != unit(l.right_area, level)]
                nodes = collections.defaultdict(list)
                for l in lines:
                    nodes[l.pts[0]].append((gd.world_angle(l.pts[0], l.pts[1]), l.cislo, True))
                    nodes[l.pts[-1]].append((gd.world_angle(l.pts[-1], l.pts[-2]), l.cislo, False))
                after = {}
                for branches in nodes.values():
                    branches.sort()
                    for k, b in enumerate(branches):
                        after[b[1], b[2]] = branches[(k + 1) % len(branches)][1:]
                by_number = {l.cislo: l for l in lines}
                seen, faces, holes = set(), [], []
                for start in after:
                    if start in seen:
                        continue
                    ring, cur = [], start
                    while cur not in seen:
                        seen.add(cur)
                        line = by_number[cur[0]]
                        ring.append((line, cur[1]))
                        cur = after[line.cislo, not cur[1]]
                    pts = gd.ring_points(ring)
                    (faces if gd.ring_sum(pts) > 0 else holes).append((gd.ring_sum(pts), pts, ring))
                nets = [f[0] for f in faces]
                for area, pts, ring in holes:
                    own = {l.cislo for l, _ in ring}
                    around = [k for k, f in enumerate(faces) if f[0] > -area
                              and not own & {l.cislo for l, _ in f[2]} and gd.inside(f[1], *pts[0])]
                    if around:
                        nets[min(around, key=lambda k: faces[k][0])] += area
                got = []
                for (area, pts, ring), net in zip(faces, nets):
                    inner = [l.left_area if fwd else l.right_area for l, fwd in ring]
                    best = max(inner, key=lambda n: whole.get(n, 0))
                    kind = exp["area_kind"] if unit(best, level) is not None else 134
                    got.append((kind, net))
                wanted = sorted((a["druh"], a["net_m2"]) for a in exp["areas"])
                got.sort()
                self.assertEqual([k for k, _ in got], [k for k, _ in wanted], (code, level))
                for (_, a), (_, b) in zip(got, wanted):
                    self.assertAlmostEqual(a, b, delta=0.01, msg=(code, level))

    def test_awkward_cases_are_present(self):
        for code, want in self.expected["districts"].items():
            det = self.det(code)
            self.assertTrue(any(len(l.pts) > 100 for l in det.live_lines()), "long chain")
            ends = collections.defaultdict(list)
            for l in det.live_lines():
                ends[l.pts[0]].append(l)
                ends[l.pts[-1]].append(l)
            pseudo = [ls for ls in ends.values() if len(ls) == 2 and ls[0] is not ls[1]]
            self.assertTrue(any(a.druh == b.druh for a, b in pseudo), "pseudo-node of equal kinds")
            self.assertTrue(any(a.druh != b.druh for a, b in pseudo), "pseudo-node of different kinds")
            small = sorted(a.area for a in det.live_areas())[:2]
            self.assertLess(small[0], 10.0)
            self.assertGreater(small[1], 10.0)
            self.assertLess(small[1], 11.0)

            slu = self.blocks[code, "SLU.BLK"]
            special = want["special_lines"]
            s1, s2 = (slu.lines[n] for n in special["near_0_00009"])
            self.assertLess(abs(s2.pts[0][0] - s1.pts[-1][0]), 1e-4)
            self.assertLess(abs(s2.pts[0][1] - s1.pts[-1][1]), 1e-4)
            self.assertNotEqual(s2.pts[0], s1.pts[-1])
            r1, r2 = (slu.lines[n] for n in special["apart_0_0001"])
            self.assertGreaterEqual(abs(r2.pts[0][0] - r1.pts[-1][0]), 1e-4)
            self.assertLess(abs(r2.pts[0][0] - r1.pts[-1][0]), 1.1e-4)
            self.assertTrue(slu.lines[special["deleted"]].deleted)
            dangling = slu.lines[special["dangling"]]
            slu_ends = collections.Counter(p for l in slu.live_lines() for p in (l.pts[0], l.pts[-1]))
            self.assertEqual(slu_ends[dangling.pts[-1]], 1)
            det_vertices = {p for l in det.live_lines() for p in l.pts}
            self.assertIn(dangling.pts[0], det_vertices)
            kinds = {l.druh for l in slu.live_lines()}
            self.assertTrue({21, 22, 25, 26, 35, 433} <= kinds | {l.druh for l in det.live_lines()})
            self.assertTrue(any(p in det_vertices for l in slu.live_lines() if l.druh == 35 for p in l.pts))
            ces = self.blocks[code, "CES.BLK"]
            self.assertGreaterEqual(len({l.druh for l in ces.live_lines()}), 3)
            self.assertTrue(any(p in det_vertices for l in ces.live_lines() for p in l.pts))
            czech = "".join(t.text for t in det.texts[1:] + slu.texts[1:])
            for letter in "ěščřžýáíéůú":
                self.assertIn(letter, czech.lower())


class ManyDistricts(unittest.TestCase):
    def test_compartments_are_numbered_once_in_the_lhc_and_every_seam_needs_the_snap(self):
        with tempfile.TemporaryDirectory() as out:
            subprocess.run([sys.executable, GENERATOR, "--out", out, "--size", "9x8*3"],
                           check=True, stdout=subprocess.DEVNULL)
            lhc = os.path.join(out, "GIS", "4107")
            self.assertEqual(sorted(d for d in os.listdir(lhc) if len(d) == 2), ["01", "02", "03"])
            compartments, edges = [], []
            for code in ("01", "02", "03"):
                rows = gd.Table(os.path.join(lhc, code, "DET.BLK", "P0110.DBF")).rows
                compartments.append({r["ODDELENI"] for r in rows})
                det = gd.Block(os.path.join(lhc, code, "DET.BLK"))
                edges.append({p for l in det.live_lines() if l.druh == 94 for p in l.pts})
            self.assertEqual(len(set.union(*compartments)), sum(len(c) for c in compartments))
            # Each district has the column it shares with the one before 4 mm to the east.
            for west, east in zip(edges, edges[1:]):
                shifted = [p for p in east if any(p[1] == q[1] and abs(p[0] - q[0] - 0.004) < 1e-5 for q in west)]
                self.assertGreater(len(shifted), 2)



class NodedNetworks(unittest.TestCase):
    """The networks expected.json gives, on hand-made lines (snap distance 1 m)."""

    @staticmethod
    def noded(lines):
        sys.path.insert(0, os.path.dirname(GENERATOR))
        from networks import noded_network
        return noded_network(lines, 1.0)

    def test_a_junction_of_ends_beside_a_line_meets_it_at_one_node(self):
        # Where two districts meet, rides of the eastern one end 4 mm east of
        # the road vertex the western ride ends on: one node, no 4 mm line.
        road = [(0.0, -100.0), (0.0, 0.0), (0.0, 100.0)]
        west = [(-100.0, 1.0), (0.0, 0.0)]
        east = [[(100.0, 2.0), (0.004, 0.0)], [(0.004, 0.0), (80.0, 60.0)]]
        result = self.noded([road, west] + east)
        self.assertEqual((result["lines"], result["nodes"]), (5, 6))
        # The junction alone, 0.6 m off the road, moves onto it as well.
        off = [[(100.0, 2.0), (0.6, 0.0)], [(0.6, 0.0), (80.0, 60.0)]]
        result = self.noded([road] + off)
        self.assertEqual((result["lines"], result["nodes"]), (4, 5))
        # Ends farther than the snap distance from the road meet nothing.
        far = [[(100.0, 2.0), (1.3, 0.0)], [(1.3, 0.0), (80.0, 60.0)]]
        result = self.noded([road] + far)
        self.assertEqual((result["lines"], result["nodes"]), (3, 5))


if __name__ == "__main__":
    unittest.main()
