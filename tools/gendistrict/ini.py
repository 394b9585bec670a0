"""TERGELIX.INI with every key the program reads, at its default value but the snap distances of
the networks (1 m, so that the noding has ends to join)."""

SETTINGS = (
    ("DET", (("DruhPorostniSkupiny", "110"), ("DruhPrazdnePlochy", "134"))),
    ("GLOBAL", (("MinPlochaM", "10"), ("SpodniMezBezlesi", "100"), ("SpodniMezJine", "500"),
                ("SpodniMezOstatni", "900"))),
    ("EXPORT", (
        ("VYBLINCES", "350,352,353,354,10245,10280,10281,10325,10340,10341,10380,10381"),
        ("VYBLINDET", "21, 22, 25, 26, 35, 433"),
        ("VYBLINSLU", "21, 22, 25, 26, 35, 433"),
        ("EXPLINCES", "21,25,35,350,352,353,354,10245,10340,10341,10280,10281,10380,10381"),
        ("EXPLINPRUS", "22,10325"),
        ("EXPLINPOTOK", "26,433"),
        ("MezPripojVod", "1"), ("MezPripojKom", "1"), ("VODBL", "1"), ("VODZL", "0"),
        ("RusitPseudouzly", "0"), ("RusitPseudouzlyIProRuzneDruhy", "1"),
        ("MaxPocetSouradnic", "100"), ("LHCSnapDistance", "0.01"),
        ("PSKBP", "14"), ("PSKZP", "105"), ("PSKBL", "6"), ("PSKZL", "0"),
        ("DILBP", "12"), ("DILZP", "105"), ("DILBL", "5"), ("DILZL", "0"),
        ("ODDBP", "9"), ("ODDZP", "105"), ("ODDBL", "2"), ("ODDZL", "0"),
        ("REGBP", "11"), ("REGZP", "1"), ("REGBL", "13"), ("REGZL", "1"),
        ("BZLBP", "15"), ("BZLZP", "105"), ("BZLBL", "13"), ("BZLZL", "0"),
        ("JPBP", "15"), ("JPZP", "105"), ("JPBL", "13"), ("JPZL", "0"),
        ("OPBP", "15"), ("OPZP", "105"), ("OPBL", "13"), ("OPZL", "0"),
    )),
)


def settings():
    """{section: {key: value}} of what write_ini writes."""
    return {section: dict(pairs) for section, pairs in SETTINGS}


def write_ini(path):
    lines = ["; Nastavení exportu lesnických vrstev"]
    for section, pairs in SETTINGS:
        lines.append("")
        lines.append("[%s]" % section)
        lines.extend("%s=%s" % kv for kv in pairs)
    with open(path, "wb") as fh:
        fh.write("".join(l + "\r\n" for l in lines).encode("cp1250"))
